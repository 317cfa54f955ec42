// The overview strip: its ticks for error rows, hits, slow intervals and markers (as the
// scan leaves them and as they are painted), the View menu item, and clicks and drags on it.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view/overview_strip.h"
#include "view/timeline_pane.h"
#include "view_test_support.h"

namespace {

// 100 rows a second apart, but row 60 comes ten seconds late; row 20 is an error and row
// 40 holds the search text.
std::string TicksLog() {
    std::string log;
    for (int i = 0; i < 100; ++i) {
        char line[96];
        int seconds = i + (i >= 60 ? 10 : 0);
        snprintf(line, sizeof line, "2021-03-04 05:%02d:%02d.000 %s\r\n", seconds / 60, seconds % 60,
                 i == 20 ? "FATAL disk gone" : (i == 40 ? "a needle here" : "all well"));
        log += line;
    }
    return log;
}

class OverviewTest : public ViewTest {
protected:
    CLogView* Open(const std::string& log) {
        Start(0);
        AppConfig().m_overview = 1;
        CLogView* view = OpenAndWait(WriteLog("overview.log", log));
        if (view != nullptr) SizeView(view, 900, 500);
        return view;
    }

    bool WaitForScan(CLogView* view) {
        return PumpUntil([view] { return view->Overview() != nullptr && view->Overview()->ScanDone(); });
    }

    // The strip painted into a 32-bit bitmap of its client size, as 0x00BBGGRR pixels.
    std::vector<COLORREF> PaintStrip(COverviewStrip* strip, int* width, int* height) {
        RECT client;
        GetClientRect(strip->Window(), &client);
        *width = client.right;
        *height = client.bottom;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = client.right;
        info.bmiHeader.biHeight = -client.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        strip->OnDraw(dc, client);
        GdiFlush();
        std::vector<COLORREF> pixels;
        auto* p = static_cast<uint32_t*>(bits);
        for (int i = 0; i < client.right * client.bottom; ++i) {
            uint32_t rgb = p[i];
            pixels.push_back(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return pixels;
    }
};

TEST_F(OverviewTest, TicksShowErrorsHitsSlowIntervalsAndMarkers) {
    Start(0);
    CAppParameter& config = AppConfig();
    config.m_overview = 1;
    config.m_intervalCheck = 1;
    config.m_intervalTime = 5000;
    config.Keywords().Add(u"FATAL", 12, 0, 1);
    config.Keywords().BuildFlagTable();
    CLogView* view = OpenAndWait(WriteLog("overview.log", TicksLog()));
    ASSERT_NE(nullptr, view);
    SizeView(view, 900, 500);
    ASSERT_NE(nullptr, view->Overview());
    m_app->SearchConditions().Add(u"needle");
    view->SetHighlightSearch(1);
    view->ToggleMarker(CRow(80));
    view->Invalidate();
    ASSERT_TRUE(WaitForScan(view));
    std::vector<uint8_t> buckets(100);
    view->Overview()->ReadBuckets(100, buckets.data());
    std::vector<uint8_t> want(100, 0);
    want[20] = kTickError;
    want[40] = kTickHit;
    want[60] = kTickSlow;
    want[80] = kTickMarker;
    EXPECT_EQ(want, buckets);

    // Painted: each kind in its lane and colour, nothing of it elsewhere.
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels = PaintStrip(view->Overview(), &width, &height);
    ASSERT_GT(height, 100);
    EXPECT_EQ(COverviewStrip::Width(view->Dpi()), width);
    auto lanePixels = [&](int lane, COLORREF c, int fromRow, int toRow) {
        int n = 0;
        for (int y = fromRow * height / 100; y < toRow * height / 100; ++y) {
            for (int x = width * lane / 4; x < width * (lane + 1) / 4; ++x) n += pixels[y * width + x] == c;
        }
        return n;
    };
    COLORREF error = config.m_colors[19].background;
    COLORREF marker = config.m_colors[3].background;
    COLORREF hit = config.m_colors[2].background;
    // (A row's pixels may begin a pixel into the range of the next.)
    EXPECT_GT(lanePixels(2, error, 20, 21), 0);
    EXPECT_EQ(lanePixels(2, error, 0, 100), lanePixels(2, error, 20, 22));
    EXPECT_GT(lanePixels(1, hit, 40, 41), 0);
    EXPECT_EQ(lanePixels(1, hit, 0, 100), lanePixels(1, hit, 40, 42));
    EXPECT_GT(lanePixels(0, RGB(255, 140, 0), 60, 61), 0);
    EXPECT_GT(lanePixels(3, marker, 80, 81), 0);
    EXPECT_EQ(0, lanePixels(3, marker, 0, 79));

    // Highlighting off takes the hits away; the marker goes with its toggle.
    view->SetHighlightSearch(0);
    view->ToggleMarker(CRow(80));
    view->Invalidate();
    ASSERT_TRUE(WaitForScan(view));
    view->Overview()->ReadBuckets(100, buckets.data());
    want[40] = 0;
    want[80] = 0;
    EXPECT_EQ(want, buckets);
}

TEST_F(OverviewTest, TheViewMenuItemShowsAndHidesTheStripOfEveryView) {
    for (int language : {0, 1}) {
        StartApp(language);
        EXPECT_EQ(language == kLanguageJapanese ? L"概要ストリップ" : L"Overview", MenuText(IDM_OVERVIEW));
        TearDown();
    }
    // A settings file from before the strip means none.
    Start(0);
    EXPECT_EQ(0, AppConfig().m_overview);
    EXPECT_FALSE(MenuState(IDM_OVERVIEW) & MF_CHECKED);
    SendMessageW(m_frame, WM_COMMAND, IDM_OVERVIEW, 0);
    EXPECT_TRUE(MenuState(IDM_OVERVIEW) & MF_CHECKED);
    CLogView* view = OpenAndWait(WriteLog("overview.log", TicksLog()));
    ASSERT_NE(nullptr, view);
    SizeView(view, 900, 500);
    ASSERT_NE(nullptr, view->Overview());
    RECT strip;
    GetWindowRect(view->Overview()->Window(), &strip);
    RECT client;
    GetClientRect(view->Window(), &client);
    MapWindowPoints(view->Window(), nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_EQ(client.right, strip.right);  // at the right edge, left of the scroll bar
    EXPECT_EQ(client.bottom - client.top, strip.bottom - strip.top);
    SendMessageW(m_frame, WM_COMMAND, IDM_OVERVIEW, 0);
    Pump();
    EXPECT_EQ(nullptr, view->Overview());
    EXPECT_FALSE(MenuState(IDM_OVERVIEW) & MF_CHECKED);
    EXPECT_EQ(0, AppConfig().m_overview);
    SendMessageW(m_frame, WM_COMMAND, IDM_OVERVIEW, 0);
    Pump();
    EXPECT_NE(nullptr, view->Overview());
}

TEST_F(OverviewTest, AClickOrADragOnTheStripMovesTheView) {
    std::string log;
    for (int i = 0; i < 1000; ++i) log += "row " + std::to_string(i) + "\r\n";
    CLogView* view = Open(log);
    ASSERT_NE(nullptr, view);
    ASSERT_NE(nullptr, view->Overview());
    HWND strip = view->Overview()->Window();
    RECT client;
    GetClientRect(strip, &client);
    int h = client.bottom;
    SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, h * 3 / 4));
    EXPECT_NEAR(750, view->CaretLine(), 1000 / h + 1);
    EXPECT_LE(view->FirstVisibleRow(), view->CaretLine());
    EXPECT_GT(view->FirstVisibleRow() + view->VisibleRows(), view->CaretLine());
    SendMessageW(strip, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(4, h / 4));
    EXPECT_NEAR(250, view->CaretLine(), 1000 / h + 1);
    SendMessageW(strip, WM_LBUTTONUP, 0, MAKELPARAM(4, h / 10));
    EXPECT_NEAR(100, view->CaretLine(), 1000 / h + 1);
    // After the button is up a move does nothing.
    SendMessageW(strip, WM_MOUSEMOVE, 0, MAKELPARAM(4, h - 1));
    EXPECT_NEAR(100, view->CaretLine(), 1000 / h + 1);
    // The frame stands over the rows in the window.
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels = PaintStrip(view->Overview(), &width, &height);
    int frameTop = static_cast<int>(static_cast<int64_t>(view->FirstVisibleRow()) * height / 1000);
    EXPECT_EQ(RGB(64, 64, 64), pixels[frameTop * width + width / 2]);
    EXPECT_NE(RGB(64, 64, 64), pixels[(frameTop + (height / 2)) % height * width + width / 2]);
}

// Rows from first on, a second apart; the FATAL ones are error rows.
std::string SecondRows(int first, int count, const char* text) {
    std::string rows;
    for (int i = first; i < first + count; ++i) {
        char line[64];
        snprintf(line, sizeof line, "2024-01-01 00:%02d:%02d %s\r\n", i / 60, i % 60, text);
        rows += line;
    }
    return rows;
}

TEST_F(OverviewTest, AFollowedLogKeepsTheStripAndTheTimelineCurrent) {
    Start(0);
    CAppParameter& config = AppConfig();
    config.Keywords().Add(u"FATAL", 12, 0, 1);
    config.Keywords().BuildFlagTable();
    config.m_overview = 1;
    config.m_follow = 1;
    CLogView* view = OpenAndWait(WriteLog("grow.log", SecondRows(0, 30, "quiet")));
    ASSERT_NE(nullptr, view);
    SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
    Pump();
    ASSERT_NE(nullptr, view->TimelinePane());
    EXPECT_EQ(30, view->TimelinePane()->Timeline()->BucketCount());
    ASSERT_TRUE(WaitForScan(view));
    std::ofstream(m_dir.FsPath("grow.log"), std::ios::binary | std::ios::app)
        << SecondRows(30, 9, "quiet") << SecondRows(39, 1, "FATAL");
    m_app->Follower().Tick();
    ASSERT_TRUE(PumpUntil([&] { return !m_app->Runner().Busy() && view->Rows().Count() == 40; }));
    ASSERT_TRUE(WaitForScan(view));
    std::vector<uint8_t> buckets(40);
    view->Overview()->ReadBuckets(40, buckets.data());
    std::vector<uint8_t> want(40, 0);
    want[39] = kTickError;
    EXPECT_EQ(want, buckets);
    // Counted again once the step is applied, error lines and all.
    ASSERT_TRUE(PumpUntil([&] { return view->TimelinePane()->Timeline()->BucketCount() == 40; }));
    const CTimeline* t = view->TimelinePane()->Timeline();
    EXPECT_EQ(1, t->Bucket(39).errors);
    EXPECT_EQ(39, t->Bucket(39).firstRow.Value());
}

}  // namespace
