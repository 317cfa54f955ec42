// The display scale: the log view, the toolbar and the status bar measured at 96, 144 and
// 192 DPI (the DPI the windows ask for overridden), and a move to a 200% display and back.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>

#include "res/resource.h"
#include "shell/app_main.h"
#include "winui/dpi.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

constexpr COLORREF kLineBack = RGB(210, 230, 250);
constexpr COLORREF kIntervalBack = RGB(230, 250, 210);
constexpr COLORREF kSeparator = RGB(0, 128, 128);

// Everything that the display scale sizes, as the user meets it.
struct Metrics {
    int charWidth = 0;
    int lineHeight = 0;
    int rowPitch = 0;
    int lineColumnEnd = 0;      // first x right of the line-number column
    int intervalColumnEnd = 0;  // first x right of the interval column
    int separatorLeft = 0;
    int separatorRight = 0;
    int statusEdges[3] = {};
    int imageSize = 0;  // the toolbar's button images
    int toolBarHeight = 0;
    RECT combo = {};    // the code-page box in the toolbar
    int rowsApart = 0;  // between two clicks 250 pixels apart
};

// The test's DPI for every window, until the end of the scope.
struct DpiOverride {
    explicit DpiOverride(int dpi) { SetDpiOverride(dpi); }
    ~DpiOverride() { SetDpiOverride(0); }
};

std::string ManyLines() {
    std::string text;
    for (int i = 1; i <= 80; ++i) {
        text += "2024-05-17 09:14:" + std::to_string(10 + i % 50) + ".000 line " + std::to_string(i) + "\r\n";
    }
    return text;
}

class ViewDpiTest : public ViewTest {
protected:
    CLogView* StartWithLog() {
        Start(0);
        SetColor(15, RGB(0, 0, 0), kLineBack);
        SetColor(16, RGB(0, 0, 0), kIntervalBack);
        SetColor(21, kSeparator, kSeparator);
        CLogView* v = OpenAndWait(WriteLog("dpi.log", ManyLines()));
        if (v != nullptr) SizeView(v, 900, 600);
        return v;
    }

    Metrics Measure(CLogView* v) {
        Metrics m;
        m.charWidth = v->CharWidth();
        m.lineHeight = v->LineHeight();
        m.rowPitch = v->RowPitch();
        ViewPicture pic = Paint(v);
        int y = 2 * m.rowPitch + 1;  // inside the second row
        int left = 0, right = 0;
        if (pic.Span(kLineBack, 0, y, pic.width, y + 1, &left, &right)) m.lineColumnEnd = right + 1;
        if (pic.Span(kIntervalBack, 0, y, pic.width, y + 1, &left, &right)) m.intervalColumnEnd = right + 1;
        pic.Span(kSeparator, 0, y, pic.width, y + 1, &m.separatorLeft, &m.separatorRight);
        SendMessageW(m_app->StatusBar()->m_window, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(m.statusEdges));
        auto* toolBar = static_cast<CAppToolBar*>(m_app->ToolBar());
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolBar->m_window, TB_GETIMAGELIST, 0, 0));
        int cx = 0, cy = 0;
        if (images != nullptr && ImageList_GetIconSize(images, &cx, &cy)) m.imageSize = cx;
        RECT bar;
        GetWindowRect(toolBar->m_window, &bar);
        m.toolBarHeight = bar.bottom - bar.top;
        GetWindowRect(toolBar->m_combo, &m.combo);
        MapWindowPoints(nullptr, toolBar->m_window, reinterpret_cast<POINT*>(&m.combo), 2);
        int x = CellX(v, 40);
        int y0 = RowY(v, 1);
        Click(v, WM_LBUTTONDOWN, x, y0, MK_LBUTTON);
        Click(v, WM_LBUTTONUP, x, y0);
        int64_t first = v->CaretLine();
        Click(v, WM_LBUTTONDOWN, x, y0 + 250, MK_LBUTTON);
        Click(v, WM_LBUTTONUP, x, y0 + 250);
        m.rowsApart = static_cast<int>(v->CaretLine() - first);  // a few dozen rows
        return m;
    }

    Metrics MeasureAt(int dpi) {
        DpiOverride scale(dpi);
        Metrics m;
        CLogView* v = StartWithLog();
        EXPECT_NE(nullptr, v);
        if (v != nullptr) {
            EXPECT_EQ(dpi, m_app->Dpi());
            EXPECT_EQ(dpi, v->Dpi());
            m = Measure(v);
        }
        TearDown();
        return m;
    }
};

// Within a pixel of the 96-DPI value times the scale.
void ExpectScaled(int at96, int value, int dpi, const char* what) {
    EXPECT_NEAR(at96 * dpi / 96.0, value, 1.0) << what << " at " << dpi << " DPI";
}

TEST_F(ViewDpiTest, MeasuresFollowTheDisplayScale) {
    Metrics base = MeasureAt(96);
    // At 96 DPI: the column rules and the bars as they always were.
    EXPECT_EQ(10 * base.charWidth + 6, base.lineColumnEnd);
    EXPECT_EQ(30 * base.charWidth + 6, base.intervalColumnEnd);
    EXPECT_EQ(30 * base.charWidth + 1, base.separatorLeft);
    EXPECT_EQ(400, base.statusEdges[0]);
    EXPECT_GE(base.statusEdges[2], 800);  // or wider, for the longest text of follow mode
    EXPECT_EQ(16, base.imageSize);
    EXPECT_EQ(380, base.combo.left);
    EXPECT_EQ(140, base.combo.right - base.combo.left);
    EXPECT_GE(base.rowsApart, 15);
    for (int dpi : {144, 192}) {
        Metrics m = MeasureAt(dpi);
        // The font is made at the scaled size: character width and row height follow it.
        ExpectScaled(base.charWidth, m.charWidth, dpi, "character width");
        ExpectScaled(base.rowPitch, m.rowPitch, dpi, "row pitch");
        ExpectScaled(base.lineHeight, m.lineHeight, dpi, "line height");
        // Columns are counted in the font's characters; their pixel margins scale.
        EXPECT_EQ(10 * m.charWidth + ScaleToDpi(6, dpi), m.lineColumnEnd) << dpi;
        EXPECT_EQ(30 * m.charWidth + ScaleToDpi(6, dpi), m.intervalColumnEnd) << dpi;
        ExpectScaled(base.lineColumnEnd - 10 * base.charWidth, m.lineColumnEnd - 10 * m.charWidth, dpi,
                     "line-number column margin");
        ExpectScaled(base.separatorRight - base.separatorLeft + 1, m.separatorRight - m.separatorLeft + 1, dpi,
                     "separator width");
        for (int i = 0; i < 3; ++i) ExpectScaled(base.statusEdges[i], m.statusEdges[i], dpi, "status-bar edge");
        EXPECT_EQ(dpi == 144 ? 24 : 32, m.imageSize) << dpi;
        EXPECT_GT(m.toolBarHeight, base.toolBarHeight) << dpi;
        ExpectScaled(base.combo.left, m.combo.left, dpi, "code-page box position");
        ExpectScaled(base.combo.right - base.combo.left, m.combo.right - m.combo.left, dpi, "code-page box width");
        // Clicks the same distance apart land proportionally fewer rows apart.
        ExpectScaled(base.rowsApart, m.rowsApart, 96 * 96 / dpi, "rows between the clicks");
    }
}

TEST_F(ViewDpiTest, MovingToA200PercentDisplayAndBackRestoresEverything) {
    CLogView* v = StartWithLog();
    ASSERT_NE(nullptr, v);
    // Command states on the toolbar survive its remaking: Open is disabled with a log open.
    SendMessageW(m_frame, WM_COMMAND, IDM_HIGHLIGHT_SEARCH, 0);
    Pump();
    HWND bar = m_app->ToolBar()->m_window;
    LRESULT openState = SendMessageW(bar, TB_GETSTATE, IDM_OPEN_LOG, 0);
    LRESULT highlightState = SendMessageW(bar, TB_GETSTATE, IDM_HIGHLIGHT_SEARCH, 0);
    ViewPicture before = Paint(v);
    Metrics base = Measure(v);

    RECT frame;
    GetWindowRect(m_frame, &frame);
    RECT suggested = {frame.left + 10, frame.top + 20, frame.left + 10 + 1100, frame.top + 20 + 850};
    SendMessageW(m_frame, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    RECT now;
    GetWindowRect(m_frame, &now);
    EXPECT_TRUE(EqualRect(&now, &suggested)) << "the frame takes the suggested rectangle";
    EXPECT_EQ(192, m_app->Dpi());
    EXPECT_EQ(192, v->Dpi());
    SizeView(v, 900, 600);
    Metrics big = Measure(v);
    ExpectScaled(base.rowPitch, big.rowPitch, 192, "row pitch");
    ExpectScaled(base.statusEdges[1], big.statusEdges[1], 192, "status-bar edge");
    EXPECT_EQ(32, big.imageSize);
    bar = m_app->ToolBar()->m_window;
    EXPECT_EQ(openState, SendMessageW(bar, TB_GETSTATE, IDM_OPEN_LOG, 0));
    EXPECT_EQ(highlightState, SendMessageW(bar, TB_GETSTATE, IDM_HIGHLIGHT_SEARCH, 0));
    EXPECT_TRUE(IsWindowVisible(bar));

    SendMessageW(m_frame, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&frame));
    Pump();
    SizeView(v, 900, 600);
    v->GoToLine(0);
    Metrics back = Measure(v);
    EXPECT_EQ(base.charWidth, back.charWidth);
    EXPECT_EQ(base.lineHeight, back.lineHeight);
    EXPECT_EQ(base.rowPitch, back.rowPitch);
    EXPECT_EQ(base.lineColumnEnd, back.lineColumnEnd);
    EXPECT_EQ(base.intervalColumnEnd, back.intervalColumnEnd);
    EXPECT_EQ(base.separatorLeft, back.separatorLeft);
    EXPECT_EQ(base.separatorRight, back.separatorRight);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(base.statusEdges[i], back.statusEdges[i]);
    EXPECT_EQ(base.imageSize, back.imageSize);
    EXPECT_EQ(base.toolBarHeight, back.toolBarHeight);
    EXPECT_TRUE(EqualRect(&base.combo, &back.combo));
    EXPECT_EQ(base.rowsApart, back.rowsApart);
    // The clicks above moved the caret; put it where it was and compare the pixels.
    v->GoToLine(0);
    ViewPicture after = Paint(v);
    EXPECT_TRUE(before.pixels == after.pixels) << "the view paints as it did before the move";
}

}  // namespace
