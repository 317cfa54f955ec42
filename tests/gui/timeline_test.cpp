// The timeline pane: made by View > Timeline for the active view (the error-log view gets
// its own), its bars, the hover text and tip in both languages, a click on a bar, and a log
// without stamps.
#include <windows.h>
// <commctrl.h> needs <windows.h> first.
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view/timeline_pane.h"
#include "view_test_support.h"

namespace {

// Ten rows a second apart from 05:00:00, then twenty from 05:01:40 on; row 15 is an error.
std::string TimedLog() {
    std::string log;
    for (int i = 0; i < 30; ++i) {
        int seconds = i < 10 ? i : 90 + i;
        char line[96];
        snprintf(line, sizeof line, "2021-03-04 05:%02d:%02d.250 %s\r\n", seconds / 60, seconds % 60,
                 i == 15 ? "FATAL disk gone" : "all well");
        log += line;
    }
    return log;
}

class TimelineTest : public ViewTest {
protected:
    CLogView* OpenWithTimeline(const std::string& log, int language) {
        Start(language);
        AppConfig().Keywords().Add(u"FATAL", 12, 0, 1);
        AppConfig().Keywords().BuildFlagTable();
        CLogView* view = OpenAndWait(WriteLog("timeline.log", log));
        if (view == nullptr) return nullptr;
        SizeView(view, 900, 500);
        SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
        Pump();
        return view;
    }

    // The first x of the pane over bucket, or -1.
    static int XOfBucket(CTimelinePane* pane, int64_t bucket) {
        RECT client;
        GetClientRect(pane->Window(), &client);
        for (int x = 0; x < client.right; ++x) {
            if (pane->BucketAt(x) == bucket) return x;
        }
        return -1;
    }
};

TEST_F(TimelineTest, BarsHoverAndClickInBothLanguages) {
    for (int language : {0, 1}) {
        CLogView* view = OpenWithTimeline(TimedLog(), language);
        ASSERT_NE(nullptr, view);
        CTimelinePane* pane = view->TimelinePane();
        ASSERT_NE(nullptr, pane);
        EXPECT_TRUE(MenuState(IDM_TIMELINE) & MF_CHECKED);
        EXPECT_EQ(language == 1 ? L"タイムライン" : L"Timeline", MenuText(IDM_TIMELINE));
        const CTimeline* t = pane->Timeline();
        ASSERT_TRUE(t != nullptr && t->HasStamps());
        EXPECT_EQ(1000, t->WidthMs());
        EXPECT_EQ(120, t->BucketCount());
        // The pane sits at the foot of the view, as wide as the rows.
        RECT paneRect;
        GetWindowRect(pane->Window(), &paneRect);
        RECT client;
        GetClientRect(view->Window(), &client);
        MapWindowPoints(view->Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_EQ(client.bottom, paneRect.bottom);
        EXPECT_EQ(CTimelinePane::Height(view->Dpi()), paneRect.bottom - paneRect.top);

        // Hovering over 05:01:45 tells its one row, an error row.
        int x = XOfBucket(pane, 105);
        ASSERT_GE(x, 0);
        SendMessageW(pane->Window(), WM_MOUSEMOVE, 0, MAKELPARAM(x, 40));
        std::wstring status = StatusText(0);
        EXPECT_NE(std::wstring::npos, status.find(L"2021-03-04 05:01:45")) << status;
        EXPECT_NE(std::wstring::npos, status.find(language == 1 ? L"エラー行: 1" : L"error rows: 1")) << status;
        // The same in the tip beside the pointer, which goes when the pointer leaves.
        ASSERT_NE(nullptr, pane->Tip());
        wchar_t tip[160] = {};
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = pane->Window();
        tool.uId = 1;
        tool.lpszText = tip;
        SendMessageW(pane->Tip(), TTM_GETTEXTW, 160, reinterpret_cast<LPARAM>(&tool));
        EXPECT_EQ(status, std::wstring(tip));
        EXPECT_TRUE(IsWindowVisible(pane->Tip()));
        SendMessageW(pane->Window(), WM_MOUSELEAVE, 0, 0);
        EXPECT_FALSE(IsWindowVisible(pane->Tip()));
        // A click on its bar goes to its first row; an empty bucket does nothing.
        SendMessageW(pane->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 40));
        EXPECT_EQ(15, view->CaretLine());
        SendMessageW(pane->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(XOfBucket(pane, 50), 40));
        EXPECT_EQ(15, view->CaretLine());
        SendMessageW(pane->Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(XOfBucket(pane, 3), 40));
        EXPECT_EQ(3, view->CaretLine());

        // The error-log view has a timeline of its own: one row.
        SendMessageW(m_frame, WM_COMMAND, IDM_ERROR_LOG, 0);
        Pump();
        CLogView* errors = ViewAfter(view);
        ASSERT_NE(nullptr, errors);
        EXPECT_FALSE(MenuState(IDM_TIMELINE) & MF_CHECKED);
        SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
        Pump();
        ASSERT_NE(nullptr, errors->TimelinePane());
        EXPECT_EQ(1, errors->TimelinePane()->Timeline()->BucketCount());
        EXPECT_EQ(1, errors->TimelinePane()->Timeline()->Bucket(0).errors);
        // The command again hides the pane of the active view only.
        SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
        Pump();
        EXPECT_EQ(nullptr, errors->TimelinePane());
        EXPECT_NE(nullptr, view->TimelinePane());
        TearDown();
    }
}

TEST_F(TimelineTest, ALogWithoutStampsSaysSo) {
    CLogView* view = OpenWithTimeline("no stamp here\r\nnor here\r\n", 0);
    ASSERT_NE(nullptr, view);
    CTimelinePane* pane = view->TimelinePane();
    ASSERT_NE(nullptr, pane);
    EXPECT_FALSE(pane->Timeline()->HasStamps());
    EXPECT_EQ(-1, pane->BucketAt(100));
    // The text, not bars: dark glyph pixels on the pane's ground, none of the bars' colour.
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    RECT client;
    GetClientRect(pane->Window(), &client);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    pane->OnDraw(dc, client);
    int dark = 0;
    int bars = 0;
    for (int y = 0; y < client.bottom; y += 1) {
        for (int x = 0; x < client.right / 2; ++x) {
            COLORREF c = GetPixel(dc, x, y);
            dark += c == RGB(0, 0, 0);
            bars += c == AppConfig().m_colors[14].background;
        }
    }
    EXPECT_GT(dark, 50);
    EXPECT_EQ(0, bars);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

}  // namespace
