// Following a growing log in the viewer: the command and its setting, rows and error rows
// arriving with the caret on the last row and elsewhere, a line completed later, a log
// truncated, rotated or deleted and the view it is read again into, closing or exiting while
// an append is indexed, and the timeline of a large followed log kept current.
#include <windows.h>
// <commctrl.h> needs <windows.h> first.
#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "search/timeline.h"
#include "view/log_view.h"
#include "view/timeline_pane.h"
#include "modal_driver.h"
#include "view_test_support.h"

namespace {

std::string Rows(int first, int count, const char* extra = "") {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        char line[96];
        snprintf(line, sizeof line, "2024-01-01 00:00:%02d row %d%s\r\n", i % 60, i, extra);
        text += line;
    }
    return text;
}

// Rows at a thousand a second from 00:00:00, row i at i ms.
std::string Timed(int first, int count, const char* extra = "") {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        char line[96];
        snprintf(line, sizeof line, "2024-01-01 00:%02d:%02d.%03d r%s\r\n", i / 60000, i / 1000 % 60, i % 1000, extra);
        text += line;
    }
    return text;
}

class FollowTest : public ViewTest {
protected:
    CLogView* OpenFollowed(const std::string& text, int language = 0) {
        Start(language);
        CKeywordSet& keywords = AppConfig().Keywords();
        keywords.Add(u"FATAL", 6, 0, 1);
        keywords.BuildFlagTable();
        AppConfig().m_follow = 1;
        m_path = WriteLog("grow.log", text);
        CLogView* view = OpenAndWait(m_path);
        if (view != nullptr) SizeView(view, 800, 300);
        return view;
    }
    void Append(const std::string& text) {
        std::ofstream(m_dir.FsPath("grow.log"), std::ios::binary | std::ios::app) << text;
    }
    // Polls as the timer would (a rotation is looked for at every fourth poll) until the
    // appended lines are in.
    void Poll(int times = 1) {
        for (int i = 0; i < times; ++i) {
            m_app->Follower().Tick();
            PumpUntil([&] { return !m_app->Runner().Busy(); });
        }
    }
    bool Loaded() {
        CLogView* v = m_app->Views().First();
        return v != nullptr && v->Lines() != nullptr && !m_app->Runner().Busy();
    }
    std::wstring m_path;
};

TEST_F(FollowTest, TheCommandTogglesTheSettingAndTheMenuCheck) {
    Start(0);
    EXPECT_EQ(0u, MenuState(IDM_FOLLOW) & MF_CHECKED);
    SendMessageW(m_frame, WM_COMMAND, IDM_FOLLOW, 0);
    EXPECT_NE(0u, MenuState(IDM_FOLLOW) & MF_CHECKED);
    EXPECT_TRUE(SendMessageW(m_app->ToolBar()->m_window, TB_ISBUTTONCHECKED, IDM_FOLLOW, 0));
    EXPECT_NE(std::string::npos, testing_support::ReadBytes(m_dir.FsPath("quillon.ini")).find("<follow>1</follow>"));
    CLogView* v = OpenAndWait(WriteLog("a.log", Rows(0, 3)));
    ASSERT_NE(nullptr, v);
    EXPECT_TRUE(m_app->Follower().Active());
    SendMessageW(m_frame, WM_COMMAND, IDM_FOLLOW, 0);
    EXPECT_FALSE(m_app->Follower().Active());
    EXPECT_EQ(std::string::npos, testing_support::ReadBytes(m_dir.FsPath("quillon.ini")).find("<follow>"));
    // Not following, the view keeps the lines it has.
    std::ofstream(m_dir.FsPath("a.log"), std::ios::binary | std::ios::app) << Rows(3, 2);
    m_app->Follower().Tick();
    Pump();
    EXPECT_EQ(3, v->Lines()->Count());
}

TEST_F(FollowTest, RowsArriveWithTheCaretOnTheLastRowAndElsewhere) {
    CLogView* v = OpenFollowed(Rows(0, 29) + Rows(29, 1, " FATAL"));
    ASSERT_NE(nullptr, v);
    ASSERT_TRUE(m_app->Follower().Active());
    SendMessageW(m_frame, WM_COMMAND, IDM_ERROR_LOG, 0);
    CLogView* errors = m_app->Views().Active();
    ASSERT_NE(v, errors);
    m_app->ActivateChild(v->Window());
    v->GoToLine(29);
    Append(Rows(30, 40) + Rows(70, 2, " FATAL"));
    Poll();
    ASSERT_EQ(72, v->Lines()->Count());
    EXPECT_EQ(71, v->CaretLine());
    EXPECT_GT(v->FirstVisibleRow() + v->VisibleRows() - 1, 71);  // the new last row is in the window
    EXPECT_EQ(3, m_app->LogFile().ErrorLines().Count());
    EXPECT_EQ(3, errors->Lines()->Count());
    // Elsewhere: the view stays, the range grows.
    v->GoToLine(10);
    int64_t first = v->FirstVisibleRow();
    Append(Rows(72, 20));
    Poll();
    EXPECT_EQ(92, v->Lines()->Count());
    EXPECT_EQ(10, v->CaretLine());
    EXPECT_EQ(first, v->FirstVisibleRow());
    EXPECT_GE(v->VScroll().maximum, 92);
    // A line without its break is shown, then completed; intervals go on from the last stamp.
    Append("2024-01-01 00:01:40 half");
    Poll();
    ASSERT_EQ(93, v->Lines()->Count());
    EXPECT_EQ(24, (*v->Lines())[92].length);
    Append(" done FATAL\r\n");
    Poll();
    ASSERT_EQ(93, v->Lines()->Count());
    EXPECT_EQ(37, (*v->Lines())[92].length);
    EXPECT_EQ(4, errors->Lines()->Count());
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"Following - last change"));
}

TEST_F(FollowTest, ATruncatedRotatedOrDeletedLogIsReadAgain) {
    CLogView* v = OpenFollowed(Rows(0, 20));
    ASSERT_NE(nullptr, v);
    v->GoToLine(5);
    SendMessageW(m_frame, WM_COMMAND, IDM_MARKER_TOGGLE, 0);
    ASSERT_EQ(1, v->Markers().Count());
    // Shorter: read again from the start, markers gone.
    WriteLog("grow.log", Rows(0, 4));
    m_app->Follower().Tick();
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    v = m_app->Views().First();
    EXPECT_EQ(4, v->Lines()->Count());
    EXPECT_EQ(0, v->Markers().Count());
    EXPECT_TRUE(m_app->Follower().Active());
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"became shorter"));
    // Rotated by a rename: the name now leads to a new file.
    std::filesystem::rename(m_dir.FsPath("grow.log"), m_dir.FsPath("grow.log.1"));
    WriteLog("grow.log", Rows(100, 7));
    Poll(4);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    v = m_app->Views().First();
    EXPECT_EQ(7, v->Lines()->Count());
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"replaced"));
    // Deleted: the view keeps its rows and says so; a new file is read when it comes.
    std::error_code failure;
    ASSERT_TRUE(std::filesystem::remove(m_dir.FsPath("grow.log"), failure)) << failure.message();
    Poll(4);
    EXPECT_EQ(7, m_app->Views().First()->Lines()->Count());
    // Where a deleted name stays until the last handle closes (older Windows, Wine), the
    // deletion shows only then, and no new file can be made under the name meanwhile.
    if (std::filesystem::exists(m_dir.FsPath("grow.log"))) return;
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"was deleted")) << StatusText(2);
    WriteLog("grow.log", Rows(200, 2));
    Poll(4);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    EXPECT_EQ(2, m_app->Views().First()->Lines()->Count());
}

TEST_F(FollowTest, TurningItOnGoesToTheEndAndAReloadKeepsTheViewsPlaceAndTheStatusFits) {
    Start(0);
    m_path = WriteLog("grow.log", Rows(0, 200));
    CLogView* v = OpenAndWait(m_path);
    ASSERT_NE(nullptr, v);
    MoveWindow(v->Window(), 30, 20, 700, 300, TRUE);
    Pump();
    SendMessageW(m_frame, WM_COMMAND, IDM_FOLLOW, 0);
    EXPECT_EQ(199, v->CaretLine());
    EXPECT_LE(v->FirstVisibleRow(), 199);
    EXPECT_GT(v->FirstVisibleRow() + v->VisibleRows(), 199);
    Append(Rows(200, 5));
    Poll();
    EXPECT_EQ(204, v->CaretLine());
    EXPECT_GT(v->FirstVisibleRow() + v->VisibleRows(), 204);

    RECT before = {};
    GetWindowRect(v->Window(), &before);
    std::filesystem::rename(m_dir.FsPath("grow.log"), m_dir.FsPath("grow.log.1"));
    WriteLog("grow.log", Rows(300, 7));
    Poll(4);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    RECT after = {};
    GetWindowRect(m_app->Views().First()->Window(), &after);
    EXPECT_TRUE(EqualRect(&before, &after))
        << after.left << "," << after.top << " " << after.right << "," << after.bottom;

    // The longest follow text fits its part of the status bar.
    std::wstring text = StatusText(2);
    ASSERT_NE(std::wstring::npos, text.find(L"replaced"));
    HWND bar = m_app->StatusBar()->m_window;
    RECT part = {};
    SendMessageW(bar, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&part));
    HDC dc = GetDC(bar);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(bar, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(bar, dc);
    EXPECT_GT(part.right - part.left, size.cx);
}

// What the views of the MDI client went through while NoteViews hooked the thread: every place
// one was shown at (client coordinates), and those painted by a WM_PAINT sent to them
// (UpdateWindow) rather than dispatched later.
HWND g_watchedClient = nullptr;
std::vector<std::pair<HWND, RECT>> g_shownAt;
std::set<HWND> g_painted;

LRESULT CALLBACK NoteViews(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    bool view = code == HC_ACTION && GetParent(sent->hwnd) == g_watchedClient;
    if (view && sent->message == WM_PAINT) g_painted.insert(sent->hwnd);
    if (view && sent->message == WM_WINDOWPOSCHANGED && IsWindowVisible(sent->hwnd)) {
        RECT rect = {};
        GetWindowRect(sent->hwnd, &rect);
        MapWindowPoints(nullptr, g_watchedClient, reinterpret_cast<POINT*>(&rect), 2);
        g_shownAt.emplace_back(sent->hwnd, rect);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Unhooks at the end of its scope, whatever an assertion ends.
struct CHookScope {
    HHOOK hook;
    ~CHookScope() {
        if (hook != nullptr) UnhookWindowsHookEx(hook);
    }
};

// A log rotated or truncated is read again into a view where the old one stood and as the
// user left it: tailing the rows, or on its rows (within the new ones), with the timeline
// and the strip open and the status telling the new caret row.
TEST_F(FollowTest, AReadAgainLogKeepsTheTailOrThePlaceAndThePanes) {
    Start(0);
    AppConfig().m_overview = 1;
    m_path = WriteLog("grow.log", Timed(0, 3000));
    CLogView* v = OpenAndWait(m_path);
    ASSERT_NE(nullptr, v);
    MoveWindow(v->Window(), 30, 20, 760, 420, TRUE);
    SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
    SendMessageW(m_frame, WM_COMMAND, IDM_FOLLOW, 0);
    ASSERT_TRUE(PumpUntil([&] { return v->TimelinePane() != nullptr && Loaded(); }));
    ASSERT_EQ(2999, v->CaretLine());
    RECT before = {};
    GetWindowRect(v->Window(), &before);
    MapWindowPoints(nullptr, m_app->MdiClient(), reinterpret_cast<POINT*>(&before), 2);
    g_watchedClient = m_app->MdiClient();
    CHookScope watch{SetWindowsHookExW(WH_CALLWNDPROCRET, NoteViews, nullptr, GetCurrentThreadId())};
    ASSERT_NE(nullptr, watch.hook);
    int rotations = 0;
    auto readAgain = [&](bool rotate, const std::string& text) {
        g_shownAt.clear();
        g_painted.clear();
        if (rotate) {
            std::string aside = "grow.log." + std::to_string(++rotations);
            std::filesystem::rename(m_dir.FsPath("grow.log"), m_dir.FsPath(aside));
        }
        WriteLog("grow.log", text);
        // The polls as the timer would make them, up to the one that reads the log again.
        HWND old = v->Window();
        for (int i = 0; i < 4 && m_app->Views().First() != nullptr && m_app->Views().First()->Window() == old; ++i)
            m_app->Follower().Tick();
        // Painted as it appeared, before the reload returned: it never shows what lay beneath.
        CLogView* made = m_app->Views().First();
        EXPECT_TRUE(made != nullptr && made->Window() != old && g_painted.count(made->Window()) == 1);
        bool loaded = PumpUntil([&] { return Loaded(); });
        v = m_app->Views().First();
        return loaded && v != nullptr;
    };

    // Tailing: the new log's last row, and each row that arrives after it.
    ASSERT_TRUE(readAgain(true, Timed(4000, 500)));
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"replaced")) << StatusText(2);
    EXPECT_EQ(499, v->CaretLine());
    EXPECT_EQ(L"line:500, column:1", StatusText(1));
    EXPECT_NE(nullptr, v->TimelinePane());
    EXPECT_NE(nullptr, v->Overview());
    // The new view showed only where the old one stood.
    int shown = 0;
    for (const auto& [window, rect] : g_shownAt) {
        if (window != v->Window()) continue;
        ++shown;
        EXPECT_TRUE(EqualRect(&before, &rect))
            << rect.left << "," << rect.top << " " << rect.right << "," << rect.bottom;
    }
    EXPECT_GT(shown, 0);
    Append(Timed(4500, 300));
    Poll();
    EXPECT_EQ(799, v->CaretLine());
    EXPECT_GT(v->FirstVisibleRow() + v->VisibleRows() - 1, 799);
    EXPECT_EQ(L"line:800, column:1", StatusText(1));

    // Elsewhere: the same rows in a longer log, the last row of a shorter one.
    v->GoToLine(300);
    int64_t first = v->FirstVisibleRow();
    ASSERT_TRUE(readAgain(true, Timed(5000, 2000)));
    EXPECT_EQ(300, v->CaretLine());
    EXPECT_EQ(first, v->FirstVisibleRow());
    EXPECT_EQ(L"line:301, column:1", StatusText(1));
    EXPECT_NE(nullptr, v->TimelinePane());
    // A selection's text goes with the rows it was made in.
    v->SelectAll();
    ASSERT_NE(L"", StatusText(0));
    ASSERT_TRUE(readAgain(false, Timed(5000, 120)));
    EXPECT_EQ(L"", StatusText(0));
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"shorter")) << StatusText(2);
    EXPECT_EQ(119, v->CaretLine());
    EXPECT_LE(v->FirstVisibleRow(), 119);
    EXPECT_EQ(L"line:120, column:1", StatusText(1));
    EXPECT_NE(nullptr, v->TimelinePane());
    EXPECT_NE(nullptr, v->Overview());
}

TEST_F(FollowTest, ClosingOrExitingWhileAnAppendIsIndexed) {
    CLogView* v = OpenFollowed(Rows(0, 5));
    ASSERT_NE(nullptr, v);
    Append(Rows(5, 5));
    m_app->Runner().Worker().Hold(true);  // the append job waits until the close lets it go
    m_app->Follower().Tick();
    ASSERT_TRUE(m_app->Runner().Busy());
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(m_app->Runner().Busy());
    EXPECT_FALSE(m_app->Follower().Active());

    v = OpenAndWait(m_path);
    ASSERT_NE(nullptr, v);
    Append(Rows(10, 5));
    m_app->Runner().Worker().Hold(true);
    m_app->Follower().Tick();
    ASSERT_TRUE(m_app->Runner().Busy());
    SendMessageW(m_frame, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(m_frame); }));
    EXPECT_FALSE(m_app->Runner().Busy());
}

// A modal dialog's loop runs the follow timer, and the dialog's caller holds a view: a
// truncation waits until the dialog has closed, and the view it jumps in is still there.
TEST_F(FollowTest, ADialogHoldsOffAReloadUntilItCloses) {
    CLogView* v = OpenFollowed(Rows(0, 20));
    ASSERT_NE(nullptr, v);
    ASSERT_TRUE(OnDialogOver(
        m_frame, [&] { SendMessageW(m_frame, WM_COMMAND, IDM_JUMP, 0); },
        [&](HWND dialog) {
            WriteLog("grow.log", Rows(0, 4));
            Poll(4);
            EXPECT_EQ(v, m_app->Views().First());
            EXPECT_EQ(20, v->Lines()->Count());
            SetDlgItemTextW(dialog, IDC_JUMP_LINE, L"3");
            ClickButton(dialog, IDOK);
        }));
    EXPECT_EQ(2, v->CaretLine());
    Poll();
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    EXPECT_EQ(4, m_app->Views().First()->Lines()->Count());
}

// Only a log read to its end is followed; a large append shows progress and can be
// cancelled; following switched on while a scan runs starts when it may.
TEST_F(FollowTest, PartialIndexesAreNotFollowedAndLargeAppendsCanBeCancelled) {
    Start(0);
    AppConfig().m_follow = 1;
    m_path = WriteLog("grow.log", Rows(0, 70000));  // beyond a quick scan
    m_app->Runner().Worker().Hold(true);
    m_app->OpenLogFile(m_path.c_str());
    m_app->Runner().CancelAndWait();
    Pump();
    EXPECT_FALSE(m_app->Follower().Active());
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"not read to its end")) << StatusText(2);
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);

    CLogView* v = OpenAndWait(m_path);
    ASSERT_NE(nullptr, v);
    ASSERT_TRUE(m_app->Follower().Active());
    SendMessageW(m_frame, WM_COMMAND, IDM_FOLLOW, 0);
    ASSERT_FALSE(m_app->Follower().Active());
    m_app->SearchConditions().Add(u"absent");
    m_app->Runner().Worker().Hold(true);
    m_app->StartSearch(v, 0, CSearchDirection::kNext);
    ASSERT_TRUE(m_app->Runner().Busy());
    SendMessageW(m_frame, WM_COMMAND, IDM_FOLLOW, 0);
    m_app->Runner().Worker().Hold(false);
    ASSERT_TRUE(PumpUntil([&] { return !m_app->Runner().Busy(); }));
    EXPECT_TRUE(m_app->Follower().Active());

    Append(Rows(70000, 150000));
    m_app->Runner().Worker().Hold(true);
    m_app->Follower().Tick();
    ASSERT_TRUE(m_app->Runner().Busy());
    EXPECT_NE(0u, MenuState(IDM_SEARCH) & MF_GRAYED);
    m_app->Runner().Worker().Cancel();
    ASSERT_TRUE(PumpUntil([&] { return !m_app->Runner().Busy(); }));
    EXPECT_FALSE(m_app->Follower().Active());
    EXPECT_EQ(70000, v->Lines()->Count());
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"cancelled")) << StatusText(2);
}

// A log empty when it was opened gave Auto nothing to judge: its first bytes decide.
TEST_F(FollowTest, ALogEmptyWhenOpenedGetsItsEncodingFromItsFirstBytes) {
    CLogView* v = OpenFollowed("");
    ASSERT_NE(nullptr, v);
    ASSERT_TRUE(m_app->Follower().Active());
    std::u16string text = u"2024-01-01 00:00:00 \u884c one\r\n2024-01-01 00:00:01 two\r\n";
    std::string bytes = "\xff\xfe";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xff);
        bytes += static_cast<char>(c >> 8);
    }
    Append(bytes);
    Poll();
    EXPECT_EQ(1200u, AppConfig().m_codePage);
    ASSERT_EQ(2, v->Lines()->Count());
    int count = 0;
    char16_t* row = v->GetRowText(0, &count);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(u"2024-01-01 00:00:00 \u884c one", std::u16string(row, row + count).substr(0, 25));
    std::free(row);
}

}  // namespace

namespace {

// The pane's buckets against a count of all the view's rows made now.
void ExpectCurrent(CLogView* v, const CLogLineList& errors) {
    CTimelineRequest request;
    request.rows = &v->Rows();
    request.errors = &errors;
    CTimeline whole;
    ASSERT_EQ(1, whole.Build(request));
    const CTimeline* shown = v->TimelinePane()->Timeline();
    ASSERT_EQ(whole.WidthMs(), shown->WidthMs());
    ASSERT_EQ(whole.BucketCount(), shown->BucketCount());
    for (int64_t i = 0; i < whole.BucketCount(); ++i) {
        EXPECT_EQ(whole.Bucket(i).rows, shown->Bucket(i).rows) << i;
        EXPECT_EQ(whole.Bucket(i).errors, shown->Bucket(i).errors) << i;
        EXPECT_EQ(whole.Bucket(i).firstRow, shown->Bucket(i).firstRow) << i;
    }
}

TEST_F(FollowTest, TheTimelineOfALargeFollowedLogTakesEachStepInBothLanguages) {
    for (int language : {0, 1}) {
        CLogView* v = OpenFollowed(Timed(0, 250000), language);
        ASSERT_NE(nullptr, v);
        SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
        ASSERT_TRUE(PumpUntil([&] { return v->TimelinePane() != nullptr && !m_app->Runner().Busy(); }));
        CTimelinePane* pane = v->TimelinePane();
        ASSERT_EQ(1000, pane->Timeline()->WidthMs());
        // A step with an error row and a line without its break, its completion, then rows
        // minutes later: the width goes from 1 s to 2 s and 5 s.
        const std::string steps[] = {Timed(250000, 2000) + Timed(252000, 1, " FATAL") + "2024-01-01 00:04:12.500 ha",
                                     "lf FATAL\r\n" + Timed(600000, 10), Timed(1200000, 10, " FATAL")};
        const int64_t widths[] = {1000, 2000, 5000};
        for (int step = 0; step < 3; ++step) {
            Append(steps[step]);
            Poll();
            ASSERT_TRUE(PumpUntil([&] { return pane->CountDone() && !m_app->Runner().Busy(); }));
            ASSERT_EQ(pane, v->TimelinePane());
            EXPECT_EQ(widths[step], pane->Timeline()->WidthMs());
            ExpectCurrent(v, m_app->LogFile().ErrorLines());
        }
        EXPECT_EQ(252022, v->Rows().Count());
        // The last bar holds the last step's rows, one of them an error row.
        RECT client;
        GetClientRect(pane->Window(), &client);
        int x = client.right - 1;
        while (x > 0 && pane->BucketAt(x) != pane->Timeline()->BucketCount() - 1) --x;
        SendMessageW(pane->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 40));
        std::wstring status = StatusText(0);
        EXPECT_NE(std::wstring::npos, status.find(language == 1 ? L"エラー行: 10" : L"error rows: 10")) << status;
        TearDown();
    }
}

}  // namespace
