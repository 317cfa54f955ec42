// View > Wrap Long Lines in both languages: rows wider than the message column go on in
// further lines with their cells shown once; the pointer, selection, copy, double click,
// markers, search highlight, labels, scrolling and the strip work on the wrapped lines; a
// row of 1 MiB scrolls line by line; the choice is kept.
#include <windows.h>

#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/color_labels.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view/overview_strip.h"
#include "view_test_support.h"

using testing_support::ReadBytes;

namespace {

constexpr COLORREF kCursorBack = RGB(255, 220, 120);
constexpr COLORREF kMarkerText = RGB(0, 0, 200);
constexpr COLORREF kLineText = RGB(90, 0, 90);

// Sixty words of four cells: far wider than the message column.
std::string Words() {
    std::string row;
    for (int i = 0; i < 60; ++i) row += "w" + std::string(i < 10 ? "0" : "") + std::to_string(i) + (i < 59 ? " " : "");
    return row;
}

std::string WrapLog() {
    std::string log = "short row\r\n" + Words() + "\r\nafter\r\n";
    for (int i = 0; i < 40; ++i) log += "tail " + std::to_string(i) + "\r\n";
    return log;
}

class WrapTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Start(GetParam());
        AppConfig().m_overview = 1;
        SetColor(2, RGB(200, 0, 0), kCursorBack);
        SetColor(3, kMarkerText, RGB(120, 255, 220));
        SetColor(15, kLineText, RGB(210, 230, 250));
    }
    CLogView* Open(const std::string& text) {
        CLogView* view = OpenAndWait(WriteLog("wrap.log", text));
        EXPECT_NE(nullptr, view);
        if (view != nullptr) {
            SizeView(view, 900, 400);
            Paint(view);  // measures the font
        }
        return view;
    }
    void Command(int id) {
        SendMessageW(m_frame, WM_COMMAND, id, 0);
        Pump();
    }
    void Scroll(CLogView* v, int code) { SendMessageW(v->Window(), WM_VSCROLL, MAKEWPARAM(code, 0), 0); }
    // Cells of text the message column holds: what a wrapped line may fill.
    int Columns(CLogView* v) {
        RECT client;
        GetClientRect(v->Window(), &client);
        int right = client.right - (v->Overview() != nullptr ? COverviewStrip::Width(v->Dpi()) : 0);
        return (right - 30 * v->CharWidth() - ScaleToDpi(6 + 2, v->Dpi())) / v->CharWidth();
    }
    // The caret column that a click on cell (of the message column) of a window line gives.
    int64_t ClickRow(CLogView* v, int line, int cell, int* column) {
        Click(v, WM_LBUTTONDOWN, CellX(v, 30 + cell), RowY(v, line), MK_LBUTTON);
        Click(v, WM_LBUTTONUP, CellX(v, 30 + cell), RowY(v, line));
        *column = v->CaretColumn();
        return v->CaretLine();
    }
    int LineTop(CLogView* v, int line) { return v->RowPitch() * (line + 1); }
    int Pixels(const ViewPicture& p, CLogView* v, int line, COLORREF c, int fromCell, int toCell) {
        int cw = v->CharWidth();
        return p.Count(c, fromCell * cw, LineTop(v, line), toCell * cw, LineTop(v, line) + v->RowPitch());
    }
    bool Japanese() const { return GetParam() == kLanguageJapanese; }
};

TEST_P(WrapTest, LongRowsGoOnInFurtherLinesThatThePointerAndTheCellsFollow) {
    EXPECT_EQ(Japanese() ? L"長い行を折り返す" : L"Wrap Long Lines", MenuText(IDM_WRAP_LINES));
    EXPECT_EQ(0u, MenuState(IDM_WRAP_LINES) & MF_CHECKED);
    CLogView* v = Open(WrapLog());
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(1, v->LinesOf(1));
    Command(IDM_WRAP_LINES);
    EXPECT_NE(0u, MenuState(IDM_WRAP_LINES) & MF_CHECKED);
    EXPECT_NE(std::string::npos, ReadBytes(m_dir.FsPath("quillon.ini")).find("<wrap_lines>1</wrap_lines>"));
    ASSERT_TRUE(v->Wraps());
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(v->Window(), OBJID_HSCROLL, &bar));
    EXPECT_NE(0u, bar.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);  // no columns to scroll to

    // Each visual line of row 1 starts at a word and fills no more than the column holds.
    const std::string words = Words();
    int lines = v->LinesOf(1);
    ASSERT_GE(lines, 3);
    int start = 0;
    for (int k = 1; k < lines; ++k) {
        int column = 0;
        ASSERT_EQ(1, ClickRow(v, 1 + k, 0, &column)) << k;
        EXPECT_EQ(' ', words[static_cast<size_t>(column - 1)]) << k;
        EXPECT_LE(column - start, Columns(v)) << k;
        EXPECT_GT(column - start, Columns(v) / 2) << k;
        start = column;
    }
    EXPECT_LE(static_cast<int>(words.size()) - start, Columns(v));
    int column = 0;
    EXPECT_EQ(2, ClickRow(v, 1 + lines, 2, &column));  // the next row follows the last line
    EXPECT_EQ(2, column);
    // The line number is drawn once, beside the row's first line.
    ViewPicture picture = Paint(v);
    EXPECT_GT(Pixels(picture, v, 1, kLineText, 0, 11), 0);
    EXPECT_EQ(0, Pixels(picture, v, 2, kLineText, 0, 11));
    EXPECT_GT(Pixels(picture, v, 1 + lines, kLineText, 0, 11), 0);
    EXPECT_LT(v->ShownRows(), v->VisibleRows());

    // A drag from the first line into the second selects across the break; Copy takes it.
    int second = 0;
    ClickRow(v, 2, 0, &second);
    Click(v, WM_LBUTTONDOWN, CellX(v, 32), RowY(v, 1), MK_LBUTTON);
    Click(v, WM_MOUSEMOVE, CellX(v, 33), RowY(v, 2), MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 33), RowY(v, 2));
    ASSERT_EQ(CSelectionMode::kMade, v->SelectionState());
    EXPECT_EQ(2, v->SelectionFirstColumn());
    EXPECT_EQ(second + 3, v->SelectionLastColumn());
    picture = Paint(v);
    COLORREF selected = AppConfig().m_colors[4].background;
    EXPECT_GT(Pixels(picture, v, 1, selected, 32, 40), 0);
    EXPECT_GT(Pixels(picture, v, 2, selected, 30, 33), 0);
    EXPECT_EQ(0, Pixels(picture, v, 2, selected, 34, 60));
    ClearClipboard();
    Command(IDM_COPY);
    std::string want = words.substr(2, static_cast<size_t>(second + 1));
    EXPECT_EQ(std::wstring(want.begin(), want.end()), ClipboardText());
    // A double click on the second line selects the word there.
    Click(v, WM_LBUTTONDBLCLK, CellX(v, 31), RowY(v, 2));
    EXPECT_EQ(second, v->SelectionFirstColumn());
    EXPECT_EQ(second + 3, v->SelectionLastColumn());
    v->ClearSelection();

    // A marker shows once; a search hit and a label on a later line are drawn there.
    v->ToggleMarker(CRow(1));
    std::u16string lastWord = u"w59";
    m_app->SearchConditions().Add(lastWord.c_str());
    v->SetHighlightSearch(1);
    m_app->Labels().Set(3, u"w30", 3);
    picture = Paint(v);
    EXPECT_GT(Pixels(picture, v, 1, kMarkerText, 26, 27), 0);
    EXPECT_EQ(0, Pixels(picture, v, 2, kMarkerText, 26, 27));
    EXPECT_GT(Pixels(picture, v, lines, kCursorBack, 30, 200), 0);
    int labelLine = 0;
    for (int k = 0; k < lines; ++k) {
        if (Pixels(picture, v, 1 + k, LabelColor(3, v->Settings().colors[0].background), 30, 200) > 0) labelLine = k;
    }
    EXPECT_GT(labelLine, 0);

    // Off again: one line a row, the columns back.
    Command(IDM_WRAP_LINES);
    EXPECT_FALSE(v->Wraps());
    EXPECT_EQ(1, v->LinesOf(1));
    EXPECT_EQ(2, ClickRow(v, 2, 0, &column));
    EXPECT_EQ(std::string::npos, ReadBytes(m_dir.FsPath("quillon.ini")).find("wrap_lines"));
}

// The bar counts rows; lines, pages and the wheel go by visual lines, through a row of 1 MiB
// (shown, as ever, up to its first 8192 bytes) and on to the next; jumps centre a row.
TEST_P(WrapTest, ScrollingGoesLineByLineThroughATallRow) {
    std::string log = "first\r\n" + std::string(1 << 20, 'x') + "\r\nnext\r\n";
    for (int i = 0; i < 200; ++i) log += "row " + std::to_string(i) + "\r\n";
    AppConfig().m_wrapLines = 1;
    CLogView* v = Open(log);
    ASSERT_NE(nullptr, v);
    ASSERT_TRUE(v->Wraps());
    int tall = v->LinesOf(1);
    EXPECT_EQ((8192 + Columns(v) - 1) / Columns(v), tall);
    ASSERT_GT(tall, v->VisibleRows());
    auto place = [&] { return std::pair<int64_t, int>(v->FirstVisibleRow(), v->FirstVisibleLine()); };
    auto thumb = [&] {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        GetScrollInfo(v->Window(), SB_VERT, &info);
        return info.nPos;
    };
    Scroll(v, SB_LINEDOWN);
    EXPECT_EQ((std::pair<int64_t, int>{1, 0}), place());
    for (int i = 0; i < 10; ++i) Scroll(v, SB_LINEDOWN);
    EXPECT_EQ((std::pair<int64_t, int>{1, 10}), place());
    EXPECT_EQ(1, thumb());
    SendMessageW(v->Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ((std::pair<int64_t, int>{1, 12}), place());
    Scroll(v, SB_PAGEDOWN);
    EXPECT_EQ((std::pair<int64_t, int>{1, 12 + v->VisibleRows() - 2}), place());
    Scroll(v, SB_LINEUP);
    EXPECT_EQ((std::pair<int64_t, int>{1, 11 + v->VisibleRows() - 2}), place());
    // Past the tall row's last line comes the next row.
    for (int i = 11 + v->VisibleRows() - 2; i < tall; ++i) Scroll(v, SB_LINEDOWN);
    EXPECT_EQ((std::pair<int64_t, int>{2, 0}), place());
    EXPECT_EQ(2, thumb());
    // The thumb goes by rows and shows a row from its first line.
    SendMessageW(v->Window(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
    EXPECT_EQ((std::pair<int64_t, int>{0, 0}), place());
    // Jumps centre the row's first line, counting the lines above it.
    int half = v->VisibleRows() / 2;
    v->GoToLine(100);
    EXPECT_EQ(100, v->CaretLine());
    EXPECT_EQ((std::pair<int64_t, int>{100 - half, 0}), place());
    v->GoToLine(2);
    EXPECT_EQ((std::pair<int64_t, int>{1, tall - half}), place());
    // The arrow keys keep the caret's row in the window; a row taller than it shows from its
    // first line, and the next row comes in at the bottom.
    SendMessageW(v->Window(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(1, v->CaretLine());
    EXPECT_EQ((std::pair<int64_t, int>{1, 0}), place());
    SendMessageW(v->Window(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(2, v->CaretLine());
    int room = v->VisibleRows() - 2;
    EXPECT_EQ((std::pair<int64_t, int>{1, tall - room + 1}), place());
}

INSTANTIATE_TEST_SUITE_P(Languages, WrapTest, ::testing::Values(0, 1));

}  // namespace
