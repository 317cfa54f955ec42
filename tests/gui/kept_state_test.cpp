// What the viewer keeps between runs: a log's markers and rows when it opens again (and
// not for a log whose head changed, nor a code page it could not have kept), the recent logs
// of the File menu, and the window layout, including a frame kept on a screen that is gone.
#include <windows.h>

#include <filesystem>
#include <string>

#include "config/app_parameter.h"
#include "config/log_state.h"
#include "document/file.h"
#include "foundation/convert.h"
#include "foundation/wide.h"
#include "modal_driver.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "shell/app_main.h"
#include "shell/recent_menu.h"
#include "view/log_view.h"
#include "view_test_support.h"

using testing_support::ReadBytes;

namespace {

std::string Rows(const char* word, int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "2024-01-01 00:00:00 " + std::string(word) + " " + std::to_string(i) + "\r\n";
    return text;
}

class KeptStateTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }
    // Whether the recent item id reads "&<digit> ...<name>".
    bool Recent(int id, const wchar_t* digit, const std::wstring& name) {
        std::wstring text = MenuText(id);
        return text.rfind(std::wstring(L"&") + digit + L" ", 0) == 0 && text.size() > name.size() &&
               text.compare(text.size() - name.size(), name.size(), name) == 0;
    }
    void Mark(CLogView* view, int row) {
        view->GoToLine(row);
        Command(IDM_MARKER_TOGGLE);
    }
    std::string Settings() { return ReadBytes(m_dir.FsPath("quillon.ini")); }
};

TEST_P(KeptStateTest, MarkersAndRowsComeBackForTheSameLogOnly) {
    Start(GetParam());
    std::wstring path = WriteLog("app.log", Rows("row", 300));
    CLogView* view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    Command(IDM_FOLLOW);  // goes to the last row; the rows set next are what is kept
    Mark(view, 10);
    Mark(view, 250);
    view->ShowRows(120, 100);
    Command(IDM_CLOSE);
    EXPECT_TRUE(std::filesystem::exists(m_dir.FsPath("quillon_state.xml")));
    Command(IDM_FOLLOW);  // off again for every log opened from now on

    // Appended rows change nothing: the log is the same.
    testing_support::WriteBytes(m_dir.FsPath("app.log"), Rows("row", 300) + Rows("more", 5));
    view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(2, view->Markers().Count());
    EXPECT_EQ(CRow(10), view->Markers().At(0)->row);
    EXPECT_EQ(CRow(250), view->Markers().At(1)->row);
    EXPECT_EQ(120, view->CaretLine());
    EXPECT_EQ(100, view->FirstVisibleRow());
    EXPECT_TRUE(m_app->Follower().Active());
    EXPECT_EQ(0u, MenuState(IDM_MARKER_NEXT) & MF_GRAYED);
    Command(IDM_FOLLOW);
    Command(IDM_CLOSE);

    // A replaced log (its head rewritten) opens without them.
    testing_support::WriteBytes(m_dir.FsPath("app.log"), Rows("new", 300) + Rows("more", 5));
    view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0, view->Markers().Count());
    EXPECT_EQ(0, view->CaretLine());
    EXPECT_FALSE(m_app->Follower().Active());
    // Closing it keeps the new log's state in place of the old one's.
    Mark(view, 3);
    Command(IDM_CLOSE);
    view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(1, view->Markers().Count());
    EXPECT_EQ(CRow(3), view->Markers().At(0)->row);
}

// A code page that the box does not offer, written into the state by hand for this very log,
// is no choice: the log opens with the box's choice, and the state written next holds none.
TEST_P(KeptStateTest, ACodePageTheBoxDoesNotOfferIsNeitherUsedNorKept) {
    Start(GetParam());
    std::wstring path = WriteLog("app.log", Rows("row", 20));
    {
        CLogState crafted;
        crafted.path = FullLogPath(path.c_str());
        CFile file;
        ASSERT_EQ(1, file.Open(U(path.c_str())));
        ASSERT_EQ(1, TakeFingerprint(file, file.Size(), &crafted.fingerprint));
        crafted.encoding = 1201;  // UTF-16BE: the ANSI rows would be read as other ones
        CLogStateStore store;
        store.Load(StateFilePath(AppConfig().m_settingsFile.GetWideOrEmpty()).c_str());
        store.Put(crafted);
        ASSERT_EQ(1, store.Save());
    }
    int32_t choice = AppConfig().m_encodingChoice;
    CLogView* view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(choice, AppConfig().m_encodingChoice);
    EXPECT_NE(kCodePageUtf16Be, AppConfig().m_codePage);
    EXPECT_EQ(20, view->Lines()->Count());
    Mark(view, 5);  // a change, so that the state is written again
    Command(IDM_CLOSE);
    std::string kept = ReadBytes(m_dir.FsPath("quillon_state.xml"));
    EXPECT_NE(std::string::npos, kept.find("<row>5</row>"));
    EXPECT_EQ(std::string::npos, kept.find("<encoding>1201</encoding>"));
}

TEST_P(KeptStateTest, ADamagedStateFileIsSetAsideWithAMessage) {
    Start(GetParam());
    testing_support::WriteBytes(m_dir.FsPath("quillon_state.xml"), "<?xml version=\"1.0\" ?>\r\n<quillon_st");
    std::wstring path = WriteLog("app.log", Rows("row", 20));
    bool told = OnDialogOver(
        m_frame, [&] { m_app->OpenLogFile(path.c_str()); }, [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    EXPECT_TRUE(told);
    EXPECT_TRUE(std::filesystem::exists(m_dir.FsPath("quillon_state.xml.damaged")));
    CLogView* view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    Mark(view, 5);
    Command(IDM_CLOSE);
    EXPECT_NE(std::string::npos, ReadBytes(m_dir.FsPath("quillon_state.xml")).find("<row>5</row>"));
}

TEST_P(KeptStateTest, RecentLogsAreListedNewestFirstAndAMissingOneIsDropped) {
    Start(GetParam());
    std::wstring a = WriteLog("a.log", Rows("a", 3));
    std::wstring b = WriteLog("b.log", Rows("b", 3));
    ASSERT_NE(nullptr, OpenAndWait(a));
    ASSERT_NE(nullptr, OpenAndWait(b));
    Command(IDM_CLOSE);
    EXPECT_TRUE(Recent(IDM_RECENT_1, L"1", L"b.log")) << MenuText(IDM_RECENT_1);
    EXPECT_TRUE(Recent(IDM_RECENT_2, L"2", L"a.log"));
    EXPECT_EQ(L"", MenuText(IDM_RECENT_3));
    Command(IDM_RECENT_2);
    PumpUntil([&] { return !m_app->Runner().Busy(); });
    ASSERT_NE(nullptr, m_app->Views().First());
    EXPECT_TRUE(Recent(IDM_RECENT_1, L"1", L"a.log"));
    Command(IDM_CLOSE);

    std::filesystem::remove(m_dir.FsPath("b.log"));
    bool told = OnDialogOver(
        m_frame, [&] { Command(IDM_RECENT_2); }, [](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    EXPECT_TRUE(told);
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_TRUE(Recent(IDM_RECENT_1, L"1", L"a.log"));
    EXPECT_EQ(L"", MenuText(IDM_RECENT_2));
    EXPECT_EQ(std::string::npos, Settings().find("b.log"));
    EXPECT_NE(std::string::npos, Settings().find("a.log</path>"));
}

TEST_P(KeptStateTest, TheFrameComesBackOnAVisibleScreenAndViewsAsTheyWereLeft) {
    // Kept on a monitor that is no longer there.
    StartApp(GetParam(),
             "<frame_layout><left>9000</left><top>7000</top><width>640</width><height>480</height>"
             "<maximized>0</maximized></frame_layout>");
    RECT frame = {};
    GetWindowRect(m_frame, &frame);
    EXPECT_NE(nullptr, MonitorFromRect(&frame, MONITOR_DEFAULTTONULL));
    EXPECT_EQ(640, frame.right - frame.left);
    EXPECT_EQ(480, frame.bottom - frame.top);
    // A settings file from before views opened maximised keeps them as they were.
    CLogView* view = OpenAndWait(WriteLog("a.log", Rows("a", 3)));
    ASSERT_NE(nullptr, view);
    EXPECT_FALSE(IsZoomed(view->Window()));
    ShowWindow(view->Window(), SW_MAXIMIZE);
    Command(IDM_CLOSE);
    EXPECT_NE(std::string::npos, Settings().find("<view_maximized>1</view_maximized>"));
    view = OpenAndWait(WriteLog("a.log", Rows("a", 3)));
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(IsZoomed(view->Window()));
    MoveWindow(m_frame, 30, 40, 700, 500, TRUE);
    SendMessageW(m_frame, WM_CLOSE, 0, 0);
    Pump();
    std::string settings = Settings();
    EXPECT_NE(std::string::npos, settings.find("<left>30</left>")) << settings;
    EXPECT_NE(std::string::npos, settings.find("<width>700</width>"));
    EXPECT_NE(std::string::npos, settings.find("<maximized>0</maximized>"));
}

TEST_P(KeptStateTest, AMaximisedFrameComesBackMaximised) {
    StartApp(GetParam(),
             "<frame_layout><left>20</left><top>30</top><width>500</width><height>400</height>"
             "<maximized>1</maximized></frame_layout>");
    EXPECT_TRUE(IsZoomed(m_frame));
    ShowWindow(m_frame, SW_RESTORE);
    RECT frame = {};
    GetWindowRect(m_frame, &frame);
    EXPECT_EQ(20, frame.left);
    EXPECT_EQ(500, frame.right - frame.left);
}

TEST_P(KeptStateTest, TheCommandLineOpensALogAtALineAndFollowingOverWhatWasKept) {
    Start(GetParam());
    std::wstring path = WriteLog("app.log", Rows("row", 300));
    CLogView* view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    view->ShowRows(20, 10);
    Command(IDM_CLOSE);
    m_app->ProcessCommandLine((L"--follow \"" + path + L"\" --line 200").c_str());
    ASSERT_TRUE(PumpUntil([&] {
        CLogView* v = m_app->Views().First();
        return v != nullptr && v->Lines() != nullptr && !m_app->Runner().Busy();
    }));
    Pump();
    EXPECT_EQ(199, m_app->Views().First()->CaretLine());
    EXPECT_TRUE(m_app->Follower().Active());
    EXPECT_NE(0u, MenuState(IDM_FOLLOW) & MF_CHECKED);
}

INSTANTIATE_TEST_SUITE_P(Languages, KeptStateTest, ::testing::Values(0, 1));

}  // namespace
