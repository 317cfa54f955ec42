// Several logs as one view, in both languages: opened from the command line, the open dialog
// and beside their rotated siblings; each row in its log's code page with its log's colour
// and the legend; search, extraction, the error log, jump by "name:line", markers kept for
// each log, copy and Save Rows As across the logs; following every log, rows merged in at
// their time; a log's time offset.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/wide.h"
#include "keywords/token_scanner.h"
#include "modal_driver.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "shell/app_main.h"
#include "shell/row_saver.h"
#include "view/log_sources.h"
#include "view/log_view.h"
#include "view_test_support.h"
#include "winui/dpi.h"

using testing_support::ReadBytes;

namespace {

const char kLogA[] =
    "2024-03-01 10:00:00.000 a start\r\n"
    "2024-03-01 10:00:02.000 a needle one\r\n"
    "2024-03-01 10:00:04.000 a ERROR disk\r\n"
    "2024-03-01 10:00:06.000 a end\r\n";
const char kLogB[] =
    "2024-03-01 10:00:01.000 b start\r\n"
    "2024-03-01 10:00:03.000 b ERROR net\r\n"
    "2024-03-01 10:00:05.000 b needle two\r\n";

// b.log in UTF-16: each log is read in its own code page.
std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at) + 2;
        lines.push_back(text.substr(at, end - at));
        at = end;
    }
    return lines;
}

class MergedViewTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }

    std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

    // Starts with ERROR as an error keyword and writes a.log and b.log.
    void StartWithLogs() {
        Start(GetParam());
        AppConfig().Keywords().Add(u"ERROR", 6, 0, 1);
        AppConfig().Keywords().BuildFlagTable();
        m_a = WriteLog("a.log", kLogA);
        m_b = WriteLog("b.log", Utf16(kLogB));
    }

    // Waits until the merged view holds its rows.
    CLogView* WaitMerged() {
        bool merged = PumpUntil([&] {
            CLogView* v = m_app->Views().First();
            return v != nullptr && v->RowLogs() != nullptr && !m_app->Runner().Busy();
        });
        Pump();
        return merged ? m_app->Views().First() : nullptr;
    }

    CLogView* OpenFromCommandLine() {
        m_app->ProcessCommandLine((L"--merge " + Quoted(m_a) + L" " + Quoted(m_b)).c_str());
        return WaitMerged();
    }

    std::wstring RowText(CLogView* view, int64_t row) {
        int count = 0;
        char16_t* text = view->GetRowText(row, &count);
        std::wstring result(W(text != nullptr ? text : u""), static_cast<size_t>(count));
        std::free(text);
        return result;
    }

    int LogOfRow(CLogView* view, int64_t row) {
        CLogLine line;
        if (!view->Rows().Entry(CRow(row), &line)) return -1;
        return view->RowLogs()->LogOf(CRow(row), line);
    }

    void WaitIdle() {
        PumpUntil([&] { return !m_app->Runner().Busy(); });
        Pump();
    }

    std::wstring m_a;
    std::wstring m_b;
};

TEST_P(MergedViewTest, TheCommandLineMergesByTimeWithSourceCellsAndLegend) {
    StartWithLogs();
    EXPECT_EQ(GetParam() == 1 ? L"複数ログを時刻順に開く..." : L"Open Logs Merged...", MenuText(IDM_OPEN_MERGED));
    EXPECT_EQ(GetParam() == 1 ? L"ローテーションされたファイルと開く..." : L"Open with Rotated Files...",
              MenuText(IDM_OPEN_ROTATED));
    CLogView* view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    SizeView(view, 900, 400);
    ASSERT_EQ(7, view->Rows().Count());
    const int logs[7] = {0, 1, 0, 1, 0, 1, 0};
    for (int r = 0; r < 7; ++r) EXPECT_EQ(logs[r], LogOfRow(view, r)) << r;
    // b.log's rows decoded from UTF-16, a.log's from UTF-8.
    EXPECT_EQ(L"2024-03-01 10:00:01.000 b start\r\n", RowText(view, 1));
    EXPECT_EQ(L"2024-03-01 10:00:02.000 a needle one\r\n", RowText(view, 2));
    EXPECT_EQ(L"a.log + b.log", WindowText(view->Window()));
    // Opening is refused while the set is open, and the status bar summarises it.
    EXPECT_NE(0u, MenuState(IDM_OPEN_LOG) & MF_GRAYED);
    EXPECT_NE(0u, MenuState(IDM_OPEN_MERGED) & MF_GRAYED);
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"a.log, b.log")) << StatusText(2);

    // The caret row's log and line, and the same on hover over the source cell.
    view->GoToLine(3);
    EXPECT_NE(std::wstring::npos, StatusText(1).find(L"b.log:2")) << StatusText(1);
    Click(view, WM_MOUSEMOVE, ScaleToDpi(3, view->Dpi()), RowY(view, 0));
    EXPECT_EQ(L"a.log:1", StatusText(0));

    // Each row's source cell in its log's colour, and both colours in the header's legend.
    ViewPicture picture = Paint(view);
    int x = ScaleToDpi(3, view->Dpi());
    for (int r = 0; r < 4; ++r) EXPECT_EQ(SourceColor(logs[r], false), picture.At(x, RowY(view, r))) << r;
    int header = view->RowPitch();
    EXPECT_GT(picture.Count(SourceColor(0, false), x + view->CharWidth() * 2, 0, picture.width, header), 0);
    EXPECT_GT(picture.Count(SourceColor(1, false), 0, 0, picture.width, header), 0);
    // The legend stands after the message column's title as drawn (a Japanese one is wider).
    const char16_t* title = UiText(TextId::kHeaderMessage);
    int units = 0;
    while (title[units] != 0) ++units;
    int left = 0;
    int right = 0;
    ASSERT_TRUE(
        picture.Span(SourceColor(0, false), x + view->CharWidth() * 2, 0, picture.width, header, &left, &right));
    EXPECT_GE(left, (34 + DisplayWidth(title, units)) * view->CharWidth());
    EXPECT_NE(SourceColor(0, false), SourceColor(1, false));
    EXPECT_NE(SourceColor(0, false), SourceColor(10, false));
    // Wrapped rows keep their source cells.
    Command(IDM_WRAP_LINES);
    ViewPicture wrapped = Paint(view);
    Command(IDM_WRAP_LINES);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(SourceColor(logs[r], false), wrapped.At(x, RowY(view, r))) << r;
}

TEST_P(MergedViewTest, SearchExtractionErrorLogAndJumpWorkAcrossTheLogs) {
    StartWithLogs();
    CLogView* view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    ASSERT_TRUE(m_app->SearchConditions().Add(u"needle"));
    view->GoToLine(0);
    Command(IDM_SEARCH_NEXT);
    WaitIdle();
    EXPECT_EQ(2, view->CaretLine());
    Command(IDM_SEARCH_NEXT);
    WaitIdle();
    EXPECT_EQ(5, view->CaretLine());  // b.log's, matched in UTF-16
    Command(IDM_SEARCH_PREVIOUS);
    WaitIdle();
    EXPECT_EQ(2, view->CaretLine());

    // The extraction keeps each row's log.
    m_app->StartExtraction(view);
    WaitIdle();
    CLogView* extracted = ViewAfter(view);
    ASSERT_NE(nullptr, extracted);
    ASSERT_NE(nullptr, extracted->RowLogs());
    ASSERT_EQ(2, extracted->Rows().Count());
    EXPECT_EQ(0, LogOfRow(extracted, 0));
    EXPECT_EQ(1, LogOfRow(extracted, 1));
    EXPECT_EQ(L"2024-03-01 10:00:05.000 b needle two\r\n", RowText(extracted, 1));

    // Every log's error rows in time order, and the steps between them.
    Command(IDM_ERROR_LOG);
    WaitIdle();
    CLogView* errors = ViewAfter(extracted);
    ASSERT_NE(nullptr, errors);
    ASSERT_EQ(2, errors->Rows().Count());
    EXPECT_EQ(1, LogOfRow(errors, 0));
    EXPECT_EQ(0, LogOfRow(errors, 1));
    SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
    Pump();
    view->GoToLine(0);
    Command(IDM_ERROR_NEXT);
    WaitIdle();
    EXPECT_EQ(3, view->CaretLine());

    // Jump: a merged row, or a line of one log by its name.
    auto jump = [&](const wchar_t* text) {
        WithDialog([&] { Command(IDM_JUMP); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_JUMP_LINE, text);
                       ClickButton(dialog, IDOK);
                   });
        Pump();
    };
    jump(L"B.LOG:3");
    EXPECT_EQ(5, view->CaretLine());
    jump(L"a.log:2");
    EXPECT_EQ(2, view->CaretLine());
    jump(L"7");
    EXPECT_EQ(6, view->CaretLine());
    jump(L"b.log:4");  // no such line: the caret stays
    EXPECT_EQ(6, view->CaretLine());
}

TEST_P(MergedViewTest, CopySaveAndMarkersAcrossTheLogs) {
    StartWithLogs();
    CLogView* view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);

    ClearClipboard();
    view->SelectAll();
    Command(IDM_COPY);
    WaitIdle();
    EXPECT_NE(std::wstring::npos, ClipboardText().find(L"10:00:01.000 b start\r\n2024-03-01 10:00:02.000 a needle"));

    std::wstring asShown = std::wstring(W(m_dir.File("shown.txt").c_str()));
    StartRowSave(*m_app, view, asShown.c_str(), CRowFormat::kAsShown);
    WaitIdle();
    std::string shown = ReadBytes(m_dir.FsPath("shown.txt"));
    EXPECT_NE(std::string::npos, shown.find("\tb.log\t2024-03-01 10:00:05.000 b needle two\r\n")) << shown;
    EXPECT_NE(std::string::npos, shown.find("\ta.log\t2024-03-01 10:00:06.000 a end\r\n")) << shown;
    std::wstring asInLogs = std::wstring(W(m_dir.File("raw.log").c_str()));
    StartRowSave(*m_app, view, asInLogs.c_str(), CRowFormat::kAsInLog);
    WaitIdle();
    // Each row's bytes as they are in its log: a.log's and b.log's rows by turns.
    std::vector<std::string> a = Lines(kLogA);
    std::vector<std::string> b = Lines(kLogB);
    std::string want;
    for (size_t k = 0; k < a.size(); ++k) want += a[k] + (k < b.size() ? Utf16(b[k]).substr(2) : "");
    EXPECT_EQ(want, ReadBytes(m_dir.FsPath("raw.log")));

    // Markers are kept for each log apart: b.log's line 1 and a.log's line 3.
    view->GoToLine(1);
    Command(IDM_MARKER_TOGGLE);
    view->GoToLine(4);
    Command(IDM_MARKER_TOGGLE);
    Command(IDM_CLOSE);
    CLogView* alone = OpenAndWait(m_b);
    ASSERT_NE(nullptr, alone);
    ASSERT_EQ(1, alone->Markers().Count());
    EXPECT_EQ(CRow(0), alone->Markers().At(0)->row);
    Command(IDM_CLOSE);
    alone = OpenAndWait(m_a);
    ASSERT_NE(nullptr, alone);
    ASSERT_EQ(1, alone->Markers().Count());
    EXPECT_EQ(CRow(2), alone->Markers().At(0)->row);
    Command(IDM_CLOSE);
    // ... and shown again on their merged rows.
    view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(2, view->Markers().Count());
    EXPECT_EQ(CRow(1), view->Markers().At(0)->row);
    EXPECT_EQ(CRow(4), view->Markers().At(1)->row);

    // A recent log chosen closes the set first.
    Command(IDM_RECENT_1);
    ASSERT_TRUE(PumpUntil([&] {
        CLogView* v = m_app->Views().First();
        return v != nullptr && v->Lines() != nullptr && !m_app->Runner().Busy();
    }));
    EXPECT_EQ(nullptr, m_app->Merged());
    EXPECT_EQ(1, m_app->Views().Count());
    EXPECT_EQ(4, m_app->Views().First()->Rows().Count());
}

// Both logs followed: each one's new rows merged in by time - b.log's older row among the
// rows already shown, a.log's after them - with the caret, a marker and the error log
// staying on their rows, and a caret on the last row staying last.
TEST_P(MergedViewTest, FollowingMergesEachLogsNewRowsInAtTheirTime) {
    StartWithLogs();
    CLogView* view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    SizeView(view, 900, 400);
    Command(IDM_FOLLOW);
    ASSERT_TRUE(m_app->Follower().Active());
    EXPECT_EQ(std::wstring(W(UiText(TextId::kFollowing))), StatusText(2));
    Command(IDM_ERROR_LOG);
    WaitIdle();
    CLogView* errors = ViewAfter(view);
    ASSERT_NE(nullptr, errors);
    ASSERT_EQ(2, errors->Rows().Count());
    SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
    Pump();
    auto append = [&](const char* name, const std::string& bytes) {
        std::ofstream(m_dir.FsPath(name), std::ios::binary | std::ios::app) << bytes;
    };
    append("a.log", "2024-03-01 10:00:07.000 a later\r\n");
    m_app->Follower().Tick();
    WaitIdle();
    ASSERT_EQ(8, view->Rows().Count());
    EXPECT_EQ(L"2024-03-01 10:00:07.000 a later\r\n", RowText(view, 7));

    // b.log's row older than a.log's last two goes before them; the caret and the marker
    // on a.log's "end" go down with it.
    view->GoToLine(6);
    Command(IDM_MARKER_TOGGLE);
    append("b.log", Utf16("2024-03-01 10:00:05.500 b ERROR late\r\n").substr(2));
    m_app->Follower().Tick();
    WaitIdle();
    ASSERT_EQ(9, view->Rows().Count());
    EXPECT_EQ(L"2024-03-01 10:00:05.500 b ERROR late\r\n", RowText(view, 6));
    EXPECT_EQ(L"2024-03-01 10:00:06.000 a end\r\n", RowText(view, 7));
    EXPECT_EQ(L"2024-03-01 10:00:07.000 a later\r\n", RowText(view, 8));
    EXPECT_EQ(7, view->CaretLine());
    ASSERT_EQ(1, view->Markers().Count());
    EXPECT_EQ(CRow(7), view->Markers().At(0)->row);
    // The error log takes the new error row at its time.
    ASSERT_EQ(3, errors->Rows().Count());
    EXPECT_EQ(L"2024-03-01 10:00:05.500 b ERROR late\r\n", RowText(errors, 2));
    EXPECT_EQ(1, LogOfRow(errors, 2));

    // On the last row, the caret stays last as rows arrive, however old.
    view->GoToLine(8);
    append("a.log", "2024-03-01 10:00:09.000 a last\r\n");
    append("b.log", Utf16("2024-03-01 10:00:08.000 b before it\r\n").substr(2));
    m_app->Follower().Tick();
    WaitIdle();
    ASSERT_EQ(11, view->Rows().Count());
    EXPECT_EQ(L"2024-03-01 10:00:08.000 b before it\r\n", RowText(view, 9));
    EXPECT_EQ(10, view->CaretLine());
    EXPECT_NE(std::wstring::npos, StatusText(2).find(GetParam() == 1 ? L"追跡中" : L"Following")) << StatusText(2);
}

// View > Log Time Offset in both languages: the caret's log shown first, minutes beyond two
// weeks refused with the reason, each log's minutes kept while another is picked; the logs
// merged again with the caret and a marker on their rows; and the minutes kept for the log.
TEST_P(MergedViewTest, ALogsTimeOffsetMergesAgainAndIsKeptForTheLog) {
    StartWithLogs();
    EXPECT_EQ(GetParam() == 1 ? L"ログの時刻補正..." : L"Log Time Offset...", MenuText(IDM_LOG_TIME_OFFSET));
    EXPECT_NE(0u, MenuState(IDM_LOG_TIME_OFFSET) & MF_GRAYED);
    CLogView* view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0u, MenuState(IDM_LOG_TIME_OFFSET) & MF_GRAYED);
    view->GoToLine(5);  // b.log's "needle two", marked
    Command(IDM_MARKER_TOGGLE);
    std::wstring refusal;
    WithDialog([&] { Command(IDM_LOG_TIME_OFFSET); },
               [&](HWND dialog) {
                   EXPECT_EQ(GetParam() == 1 ? L"ログの時刻補正" : L"Log Time Offset", WindowText(dialog));
                   EXPECT_EQ(L"b.log", ControlText(dialog, IDC_TIME_OFFSET_LOG));
                   EXPECT_EQ(L"0", ControlText(dialog, IDC_TIME_OFFSET_MINUTES));
                   SetDlgItemTextW(dialog, IDC_TIME_OFFSET_MINUTES, L"20161");
                   EXPECT_TRUE(OnDialogOver(
                       dialog, [&] { ClickButton(dialog, IDOK); },
                       [&](HWND box) {
                           refusal = ControlText(box, 0xffff);
                           PostMessageW(box, WM_COMMAND, IDOK, 0);
                       }));
                   SetDlgItemTextW(dialog, IDC_TIME_OFFSET_MINUTES, L"1");
                   PickListRow(dialog, IDC_TIME_OFFSET_LOG, 0);
                   EXPECT_EQ(L"0", ControlText(dialog, IDC_TIME_OFFSET_MINUTES));
                   PickListRow(dialog, IDC_TIME_OFFSET_LOG, 1);
                   EXPECT_EQ(L"1", ControlText(dialog, IDC_TIME_OFFSET_MINUTES));
                   ClickButton(dialog, IDOK);
               });
    EXPECT_NE(std::wstring::npos, refusal.find(L"-20160")) << refusal;
    WaitIdle();
    // b.log's rows a minute later: after every row of a.log.
    auto expectOrder = [&](CLogView* v) {
        ASSERT_EQ(7, v->Rows().Count());
        const int logs[7] = {0, 0, 0, 0, 1, 1, 1};
        for (int r = 0; r < 7; ++r) EXPECT_EQ(logs[r], LogOfRow(v, r)) << r;
    };
    expectOrder(view);
    EXPECT_EQ(L"2024-03-01 10:00:05.000 b needle two\r\n", RowText(view, 6));
    EXPECT_EQ(6, view->CaretLine());
    ASSERT_EQ(1, view->Markers().Count());
    EXPECT_EQ(CRow(6), view->Markers().At(0)->row);
    // Kept for the log: the set opened again merges b.log a minute later at once.
    Command(IDM_CLOSE);
    view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    expectOrder(view);
}

TEST_P(MergedViewTest, TheDialogsOpenSeveralLogsAndARotatedSet) {
    StartWithLogs();
    std::wstring folder = m_a.substr(0, m_a.find_last_of(L"\\/") + 1);
    WithDialog([&] { Command(IDM_OPEN_MERGED); },
               [&](HWND dialog) {
                   ConfirmFileDialog(dialog, folder);
                   ConfirmFileDialog(dialog, L"\"a.log\" \"b.log\"");
               });
    CLogView* view = WaitMerged();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(7, view->Rows().Count());
    EXPECT_EQ(2, view->RowLogs()->LogCount());
    Command(IDM_CLOSE);

    WriteLog("app.log", "2024-03-01 12:00:00 newest\r\n");
    WriteLog("app.log.1", "2024-03-01 11:00:00 older\r\n");
    WriteLog("app.log-20240229", "2024-02-29 23:00:00 oldest\r\n");
    WriteLog("app.logger", "2024-03-01 09:00:00 not a sibling\r\n");
    WithDialog([&] { Command(IDM_OPEN_ROTATED); },
               [&](HWND dialog) { ConfirmFileDialog(dialog, folder + L"app.log"); });
    view = WaitMerged();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(3, view->Rows().Count());
    EXPECT_EQ(L"2024-02-29 23:00:00 oldest\r\n", RowText(view, 0));
    EXPECT_EQ(L"2024-03-01 12:00:00 newest\r\n", RowText(view, 2));
    EXPECT_EQ(2, LogOfRow(view, 2));
    std::wstring status = StatusText(2);
    EXPECT_NE(std::wstring::npos, status.find(L"2")) << status;
    EXPECT_NE(std::wstring::npos, status.find(L"app.log-20240229, app.log.1")) << status;
}

TEST_P(MergedViewTest, AMergeCancelledOrClosedWhileItRunsLeavesNothingOpen) {
    StartWithLogs();
    std::vector<std::u16string> paths = {std::u16string(U(m_a.c_str())), std::u16string(U(m_b.c_str()))};
    auto nothingOpen = [&] {
        return m_app->Views().First() == nullptr && m_app->Merged() == nullptr && !m_app->Runner().Busy();
    };
    // Closed while the load waits to start.
    m_app->Runner().Worker().Hold(true);
    m_app->OpenMergedLogs(paths);
    ASSERT_TRUE(m_app->Runner().Busy());
    Command(IDM_CLOSE);
    EXPECT_TRUE(nothingOpen());
    Pump();
    EXPECT_EQ(0u, MenuState(IDM_OPEN_MERGED) & MF_GRAYED);
    // Cancelled, as the progress dialog's button does.
    m_app->Runner().Worker().Hold(true);
    m_app->OpenMergedLogs(paths);
    ASSERT_TRUE(m_app->Runner().Busy());
    m_app->Runner().Worker().Cancel();
    EXPECT_TRUE(PumpUntil(nothingOpen));
    // The next set opens as ever.
    CLogView* view = OpenFromCommandLine();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(7, view->Rows().Count());
}

INSTANTIATE_TEST_SUITE_P(Languages, MergedViewTest, ::testing::Values(0, 1));

}  // namespace
