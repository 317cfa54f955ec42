// Jump to Time and the next/previous error line and slow interval: where they move the
// caret in each kind of view, their messages and when they are greyed, in both languages.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "gui_harness.h"
#include "modal_driver.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"

namespace {

using testing_support::WriteBytes;

// Rows 3, 4 (past midnight: the time of day went back) and 6 are slow at 5 s; 1 and 4 are errors.
const char kLog[] =
    "2021-03-04 23:59:50 start\r\n"
    "2021-03-04 23:59:51 ERROR one\r\n"
    "2021-03-04 23:59:52 ok\r\n"
    "2021-03-04 23:59:58 slow\r\n"
    "2021-03-05 00:00:01 ERROR two\r\n"
    "2021-03-05 00:00:02 ok\r\n"
    "2021-03-05 00:00:09 slow\r\n"
    "2021-03-05 00:00:10 end\r\n";

const char kKeywords[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<quillon_keyword><keyword><emphasis><text>ERROR</text>"
    "<color>6</color>\r\n<bold>1</bold>\r\n<error>1</error>\r\n</emphasis>\r\n</keyword>\r\n</quillon_keyword>\r\n";

const int kNavigation[] = {IDM_JUMP_TIME, IDM_ERROR_NEXT, IDM_ERROR_PREVIOUS, IDM_SLOW_NEXT, IDM_SLOW_PREVIOUS};

class TimeNavigationTest : public GuiTest, public ::testing::WithParamInterface<int> {
protected:
    void Open(const char* log, const std::string& settings) {
        WriteBytes(m_dir.FsPath("keyword_default.xml"), kKeywords);
        WriteBytes(m_dir.FsPath("test.log"), log);
        if (m_app == nullptr) StartApp(GetParam(), settings);
        m_app->OpenLogFile(m_dir.FsPath("test.log").wstring().c_str());
        for (int i = 0; i < 400 && (View() == nullptr || View()->Lines() == nullptr); ++i) Pump(1);
        ASSERT_NE(nullptr, View());
        ASSERT_NE(nullptr, View()->Lines());
    }
    CLogView* View() { return m_app->Views().First(); }
    CLogView* Active() { return m_app->Views().Active(); }
    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }
    bool Grey(int id) { return (MenuState(id) & MF_GRAYED) != 0; }
    // The caret rows after each command, from row start.
    std::vector<int> Steps(CLogView* view, int start, std::initializer_list<int> ids) {
        view->GoToLine(start);
        std::vector<int> rows;
        for (int id : ids) {
            Command(id);
            rows.push_back(view->CaretLine());
        }
        return rows;
    }
    // Types text into Jump to Time and presses OK; the message box that may follow (over
    // the frame) is closed, its text kept in m_box.
    void JumpTo(const wchar_t* text) {
        m_box.clear();
        auto handle = [&](HWND window) {
            if (GetDlgItem(window, IDC_JUMP_TIME_TEXT) != nullptr) {
                SetDlgItemTextW(window, IDC_JUMP_TIME_TEXT, text);
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            } else {
                m_box = ControlText(window, 0xFFFF);
                PostMessageW(window, WM_COMMAND, IDOK, 0);
            }
        };
        OnDialogOver(
            m_frame,
            [&] {
                OnDialogOver(
                    m_frame, [&] { Command(IDM_JUMP_TIME); }, handle);
            },
            handle);
    }
    bool Japanese() const { return GetParam() == 1; }
    std::wstring m_box;
};

const char kChecked[] = "<interval_check>1</interval_check><interval_time>5000</interval_time>";

TEST_P(TimeNavigationTest, JumpToTimeFindsRefusesAndSaysWhenNoRowIsLate) {
    Open(kLog, kChecked);
    std::wstring range;
    WithDialog([&] { Command(IDM_JUMP_TIME); },
               [&](HWND dialog) {
                   range = ControlText(dialog, IDC_JUMP_TIME_RANGE);
                   PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
               });
    EXPECT_EQ(Japanese() ? L"2021-03-04 23:59:50.000 ～ 2021-03-05 00:00:10.000"
                         : L"2021-03-04 23:59:50.000 - 2021-03-05 00:00:10.000",
              range);
    JumpTo(L"2021-03-05 00:00:00");
    EXPECT_EQ(4, View()->CaretLine());
    EXPECT_EQ(L"", m_box);
    JumpTo(L" 23:59:55.5 ");  // the log's first day
    EXPECT_EQ(3, View()->CaretLine());
    JumpTo(L"2021-03-05 00:00:10.001");
    EXPECT_EQ(3, View()->CaretLine());
    EXPECT_EQ(Japanese() ? L"2021-03-05 00:00:10.001 以降の時刻の行はありません。"
                         : L"No row has a time stamp at or after 2021-03-05 00:00:10.001.",
              m_box);

    // A text that is no time is refused over the dialog, which stays open for another try.
    bool refused = false;
    bool stayed = false;
    WithDialog([&] { Command(IDM_JUMP_TIME); },
               [&](HWND dialog) {
                   SetDlgItemTextW(dialog, IDC_JUMP_TIME_TEXT, L"12:00");
                   refused = OnDialogOver(
                       dialog, [&] { SendMessageW(dialog, WM_COMMAND, IDOK, 0); },
                       [&](HWND box) {
                           m_box = ControlText(box, 0xFFFF);
                           PostMessageW(box, WM_COMMAND, IDOK, 0);
                       });
                   stayed = IsWindowVisible(dialog) != 0;
                   SetDlgItemTextW(dialog, IDC_JUMP_TIME_TEXT, L"2021-03-04 23:59:51");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    EXPECT_TRUE(refused);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(0u, m_box.find(Japanese() ? L"「12:00」は時刻ではありません。" : L"\"12:00\" is not a time.")) << m_box;
    EXPECT_EQ(1, View()->CaretLine());
}

TEST_P(TimeNavigationTest, ErrorAndSlowStepsInEveryKindOfView) {
    Open(kLog, kChecked);
    for (int id : kNavigation) EXPECT_FALSE(Grey(id)) << id;
    EXPECT_EQ(
        (std::vector<int>{1, 4, 4, 1, 1}),
        Steps(View(), 0, {IDM_ERROR_NEXT, IDM_ERROR_NEXT, IDM_ERROR_NEXT, IDM_ERROR_PREVIOUS, IDM_ERROR_PREVIOUS}));
    EXPECT_EQ((std::vector<int>{3, 4, 6, 6, 4, 3, 3}),
              Steps(View(), 0,
                    {IDM_SLOW_NEXT, IDM_SLOW_NEXT, IDM_SLOW_NEXT, IDM_SLOW_NEXT, IDM_SLOW_PREVIOUS, IDM_SLOW_PREVIOUS,
                     IDM_SLOW_PREVIOUS}));

    // An extraction of lines 1, 2, 4 and 5: its own rows, and intervals between them.
    WithDialog([&] { Command(IDM_EXTRACTION); },
               [&](HWND dialog) {
                   SetDlgItemTextW(dialog, IDC_CONDITION_1, L"ERROR");
                   SetDlgItemTextW(dialog, IDC_CONDITION_2, L"ok");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    CLogView* extracted = Active();
    ASSERT_NE(View(), extracted);
    ASSERT_EQ(4, extracted->Lines()->Count());
    EXPECT_EQ((std::vector<int>{2, 2, 0}), Steps(extracted, 0, {IDM_ERROR_NEXT, IDM_ERROR_NEXT, IDM_ERROR_PREVIOUS}));
    EXPECT_EQ((std::vector<int>{2, 2, 2}), Steps(extracted, 0, {IDM_SLOW_NEXT, IDM_SLOW_NEXT, IDM_SLOW_PREVIOUS}));

    Command(IDM_ERROR_LOG);
    CLogView* errors = Active();
    ASSERT_NE(extracted, errors);
    ASSERT_EQ(2, errors->Lines()->Count());
    EXPECT_EQ((std::vector<int>{1, 0}), Steps(errors, 0, {IDM_ERROR_NEXT, IDM_ERROR_PREVIOUS}));
}

TEST_P(TimeNavigationTest, GreyedWhereTheyCannotAct) {
    WriteBytes(m_dir.FsPath("keyword_default.xml"), kKeywords);
    StartApp(GetParam(), "");
    for (int id : kNavigation) EXPECT_TRUE(Grey(id)) << id;  // no view
    // Stamps but no error line, and the interval check off.
    Open("2021-03-04 23:59:50 start\r\n2021-03-04 23:59:59 later\r\n", "");
    EXPECT_FALSE(Grey(IDM_JUMP_TIME));
    for (int id : {IDM_ERROR_NEXT, IDM_ERROR_PREVIOUS, IDM_SLOW_NEXT, IDM_SLOW_PREVIOUS}) EXPECT_TRUE(Grey(id)) << id;
    Command(IDM_CLOSE);
    for (int id : kNavigation) EXPECT_TRUE(Grey(id)) << id;
    // Error lines but no stamps.
    Open("plain ERROR line\r\nanother line\r\n", "");
    for (int id : {IDM_JUMP_TIME, IDM_SLOW_NEXT, IDM_SLOW_PREVIOUS}) EXPECT_TRUE(Grey(id)) << id;
    EXPECT_FALSE(Grey(IDM_ERROR_NEXT));
    EXPECT_FALSE(Grey(IDM_ERROR_PREVIOUS));
    EXPECT_FALSE(OnDialogOver(
        nullptr, [&] { Command(IDM_JUMP_TIME); }, [](HWND) {}));
}

INSTANTIATE_TEST_SUITE_P(Languages, TimeNavigationTest, ::testing::Values(0, 1));

}  // namespace
