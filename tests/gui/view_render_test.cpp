// The log view's painting, checked pixel by pixel in a memory bitmap: header and column
// colours, keyword and search highlighting by whole token, the interval check, the caret
// and marker marks, and the colour-table rule.
#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

// Distinct colours, none of them black or white, so that a pixel tells which entry painted it.
constexpr COLORREF kNormalText = RGB(10, 10, 10);
constexpr COLORREF kNormalBack = RGB(250, 250, 240);
constexpr COLORREF kCursorText = RGB(200, 0, 0);
constexpr COLORREF kCursorBack = RGB(255, 220, 120);
constexpr COLORREF kMarkerText = RGB(0, 0, 200);
constexpr COLORREF kMarkerBack = RGB(120, 255, 220);
constexpr COLORREF kKeywordText = RGB(0, 120, 0);
constexpr COLORREF kKeywordBack = RGB(180, 180, 255);
constexpr COLORREF kKeyword2Back = RGB(255, 160, 255);
constexpr COLORREF kHeaderText = RGB(255, 255, 0);
constexpr COLORREF kHeaderBack = RGB(0, 0, 128);
constexpr COLORREF kLineBack = RGB(210, 230, 250);
constexpr COLORREF kIntervalBack = RGB(230, 250, 210);
constexpr COLORREF kErrorBack = RGB(255, 60, 60);
constexpr COLORREF kSeparator = RGB(0, 128, 128);

class ViewRenderTest : public ViewTest {
protected:
    void SetUp() override {
        Start(0);
        SetColor(0, kNormalText, kNormalBack);
        SetColor(2, kCursorText, kCursorBack);
        SetColor(3, kMarkerText, kMarkerBack);
        SetColor(6, kKeywordText, kKeywordBack);
        SetColor(7, kKeywordText, kKeyword2Back);
        SetColor(14, kHeaderText, kHeaderBack);
        SetColor(15, RGB(0, 0, 0), kLineBack);
        SetColor(16, RGB(0, 0, 0), kIntervalBack);
        SetColor(19, RGB(255, 255, 255), kErrorBack);
        SetColor(21, kSeparator, kSeparator);
    }

    CLogView* Open(const std::string& text) {
        CLogView* view = OpenAndWait(WriteLog("render.log", text));
        EXPECT_NE(nullptr, view);
        if (view != nullptr) SizeView(view, 900, 400);
        return view;
    }

    void AddKeyword(const char16_t* text, int color, int bold) {
        CKeywordSet& keywords = AppConfig().Keywords();
        keywords.Add(text, color, bold, 0);
        keywords.BuildFlagTable();
    }

    // The message text of row k starts here (first visible column 0).
    int TextX(CLogView* v) { return 30 * v->CharWidth() + 6; }
    int RowTop(CLogView* v, int k) { return v->RowPitch() * (k + 1); }
    int RowBottom(CLogView* v, int k) { return RowTop(v, k) + v->LineHeight(); }
};

TEST_F(ViewRenderTest, HeaderColumnsAndSeparators) {
    CLogView* v = Open("first line\r\nsecond line\r\n");
    ASSERT_NE(nullptr, v);
    ViewPicture pic = Paint(v);
    int cw = v->CharWidth();
    int p = v->RowPitch();
    ASSERT_GT(cw, 2);
    // Header: filled across the whole width, its texts in the header's text colour.
    EXPECT_EQ(kHeaderBack, pic.At(pic.width - 3, p / 2));
    EXPECT_GT(pic.Count(kHeaderText, 0, 0, 10 * cw, p), 10);
    EXPECT_GT(pic.Count(kHeaderText, 12 * cw, 0, 22 * cw, p), 10);
    EXPECT_GT(pic.Count(kHeaderText, 34 * cw, 0, 50 * cw, p), 10);
    // Line-number and interval columns run from the header to the bottom, rows or not.
    EXPECT_EQ(kLineBack, pic.At(2, p + 1));
    EXPECT_EQ(kLineBack, pic.At(2, pic.height - 2));
    EXPECT_EQ(kIntervalBack, pic.At(11 * cw, pic.height - 2));
    EXPECT_EQ(kNormalBack, pic.At(pic.width - 3, pic.height - 2));
    // The line number "%10d" is right-aligned: its ink lies in the last places of the cell.
    int left = 0, right = 0;
    ASSERT_TRUE(pic.Span(RGB(0, 0, 0), 0, RowTop(v, 0), pic.width, RowBottom(v, 0), &left, &right));
    EXPECT_GE(left, 5 + 9 * cw - 1);
    EXPECT_LE(right, 5 + 10 * cw);
    // The left separator in entry 21's colour, only between the interval and message columns.
    ASSERT_TRUE(pic.Span(kSeparator, 0, p, pic.width, pic.height, &left, &right));
    EXPECT_GE(left, 30 * cw);
    EXPECT_LE(right, 30 * cw + 5);
    EXPECT_GT(pic.Count(kSeparator, 30 * cw, pic.height - 20, 30 * cw + 6, pic.height), 20);
    // A wide pen's round cap may reach one pixel above the first row.
    EXPECT_EQ(0, pic.Count(kSeparator, 0, 0, pic.width, p - 1));
}

TEST_F(ViewRenderTest, KeywordHighlightsOnlyTheWholeToken) {
    AddKeyword(u"ERROR", 6, 0);
    CLogView* v = Open("ERROR ERRORS XERROR ERROR_1\r\nERRORS ERROR\r\n");
    ASSERT_NE(nullptr, v);
    ViewPicture pic = Paint(v);
    int cw = v->CharWidth();
    int x = TextX(v);
    int left = 0, right = 0;
    // Row 0: only the first token, five cells wide.
    ASSERT_TRUE(pic.Span(kKeywordBack, 0, RowTop(v, 0), pic.width, RowBottom(v, 0), &left, &right));
    EXPECT_EQ(x, left);
    EXPECT_EQ(x + 5 * cw - 1, right);
    EXPECT_GT(pic.Count(kKeywordText, x, RowTop(v, 0), x + 5 * cw, RowBottom(v, 0)), 10);
    // Row 1: "ERRORS " is plain, the keyword follows at cell 7.
    ASSERT_TRUE(pic.Span(kKeywordBack, 0, RowTop(v, 1), pic.width, RowBottom(v, 1), &left, &right));
    EXPECT_EQ(x + 7 * cw, left);
    EXPECT_EQ(x + 12 * cw - 1, right);
    EXPECT_GT(pic.Count(kNormalText, x, RowTop(v, 1), x + 6 * cw, RowBottom(v, 1)), 10);
}

TEST_F(ViewRenderTest, BoldKeywordUsesTheBoldFont) {
    AddKeyword(u"ERROR", 6, 0);
    CLogView* v = Open("ERROR ok\r\n");
    ASSERT_NE(nullptr, v);
    int cw = v->CharWidth();
    int x = TextX(v);
    int top = RowTop(v, 0), bottom = RowBottom(v, 0);
    ViewPicture plain = Paint(v);
    CKeywordSet& keywords = AppConfig().Keywords();
    ASSERT_EQ(1, keywords.SetEntry(0, u"ERROR", 6, 1, 0));
    keywords.BuildFlagTable();
    ViewPicture bold = Paint(v);
    auto differences = [&](int left, int right) {
        int n = 0;
        for (int y = top; y < bottom; ++y) {
            for (int px = left; px < right; ++px) n += plain.At(px, y) != bold.At(px, y);
        }
        return n;
    };
    // The keyword's glyphs change; the blank row beyond the text does not.
    EXPECT_GT(differences(x, x + 5 * cw), 10);
    EXPECT_EQ(0, differences(x + 12 * cw, x + 20 * cw));
    EXPECT_GT(bold.Count(kKeywordText, x, top, x + 5 * cw, bottom), 10);
}

// A bold face may be wider than the normal one: what follows a bold keyword starts after
// all of it, so the keyword is painted the same whether or not a token follows it.
TEST_F(ViewRenderTest, TokenAfterABoldKeywordDoesNotCoverIt) {
    AddKeyword(u"ERROR", 6, 1);
    // The Japanese default face: its bold is synthesised, one pixel wider a glyph.
    AppConfig().m_fontName.AssignWide(u"ＭＳ ゴシック", -1);
    CLogView* v = Open("ERROR\r\nERROR ok\r\n");
    ASSERT_NE(nullptr, v);
    ViewPicture pic = Paint(v);
    int x = TextX(v);
    int alone = 0, followed = 0, left = 0;
    ASSERT_TRUE(pic.Span(kKeywordBack, x, RowTop(v, 0), pic.width, RowBottom(v, 0), &left, &alone));
    ASSERT_TRUE(pic.Span(kKeywordBack, x, RowTop(v, 1), pic.width, RowBottom(v, 1), &left, &followed));
    EXPECT_EQ(alone, followed);
    for (int dy = 0; dy < v->LineHeight(); ++dy) {
        for (int px = x; px <= alone; ++px) {
            ASSERT_EQ(pic.At(px, RowTop(v, 0) + dy), pic.At(px, RowTop(v, 1) + dy)) << px << "," << dy;
        }
    }
}

TEST_F(ViewRenderTest, SearchPrefixWinsOverKeyword) {
    AddKeyword(u"timeout", 7, 0);
    CLogView* v = Open("timeout ok timer\r\n");
    ASSERT_NE(nullptr, v);
    m_app->SearchConditions().Add(u"time");
    int cw = v->CharWidth();
    int x = TextX(v);
    int top = RowTop(v, 0), bottom = RowBottom(v, 0);
    ViewPicture plain = Paint(v);
    EXPECT_GT(plain.Count(kKeyword2Back, x, top, x + 7 * cw, bottom), 0);
    EXPECT_EQ(0, plain.Count(kCursorBack, x, top, plain.width, bottom));

    v->SetHighlightSearch(1);
    ViewPicture pic = Paint(v);
    EXPECT_EQ(0, pic.Count(kKeyword2Back, 0, top, pic.width, bottom));
    int left = 0, right = 0;
    ASSERT_TRUE(pic.Span(kCursorBack, x, top, pic.width, bottom, &left, &right));
    // "timeout" and "timer" begin with the search text, "ok" does not.
    EXPECT_EQ(x, left);
    EXPECT_EQ(x + 16 * cw - 1, right);
    EXPECT_EQ(0, pic.Count(kCursorBack, x + 7 * cw, top, x + 11 * cw, bottom));
    EXPECT_GT(pic.Count(kCursorText, x, top, x + 7 * cw, bottom), 10);
}

// With colour codes on, the sequences take no place and colour the text after them; a
// keyword still wins, and a double click and a copy see the shown text. Off, the row is
// its bytes, where the keyword is no token of its own.
TEST_F(ViewRenderTest, ColourCodesColourTheTextAndTakeNoPlace) {
    AddKeyword(u"ERROR", 6, 0);
    CLogView* v = Open(
        "\x1b[41mRED\x1b[0m ab \x1b[31mERROR\x1b[0m\x1b[K \x1b[1;32mok\x1b[0m end\r\n"
        "\x1b[41;97mFATAL\x1b[0m\r\n");
    ASSERT_NE(nullptr, v);
    AppConfig().m_colorCodes = 1;
    m_app->ApplyViewSettings();
    constexpr COLORREF kConsoleRed = RGB(0xC5, 0x0F, 0x1F);
    constexpr COLORREF kGreenOnLight = RGB(0x00, 0xA0, 0x00);
    int cw = v->CharWidth();
    int x = TextX(v);
    int top = RowTop(v, 0), bottom = RowBottom(v, 0);
    ViewPicture pic = Paint(v);
    int left = 0, right = 0;
    ASSERT_TRUE(pic.Span(kConsoleRed, 0, top, pic.width, bottom, &left, &right));
    EXPECT_EQ(x, left);
    EXPECT_EQ(x + 3 * cw - 1, right);
    EXPECT_EQ(kNormalBack, pic.At(x + 3 * cw + cw / 2, top + 1));
    ASSERT_TRUE(pic.Span(kKeywordBack, 0, top, pic.width, bottom, &left, &right));
    EXPECT_EQ(x + 7 * cw, left);
    EXPECT_EQ(x + 12 * cw - 1, right);
    // The bold face may be a little wider than its cells.
    EXPECT_GT(pic.Count(kGreenOnLight, x + 13 * cw, top, x + 15 * cw + 2, bottom), 5);
    EXPECT_GT(pic.Count(kNormalText, x + 16 * cw, top, x + 20 * cw, bottom), 5);
    Click(v, WM_LBUTTONDBLCLK, CellX(v, 30 + 14), RowY(v, 0), MK_LBUTTON);
    EXPECT_EQ(13, v->SelectionFirstColumn());
    EXPECT_EQ(15, v->SelectionLastColumn());
    SendMessageW(m_frame, WM_COMMAND, IDM_COPY, 0);
    EXPECT_EQ(L"ok", ClipboardText());
    // Text on a background of its own keeps the console's colour: bright white stays white.
    EXPECT_GT(pic.Count(RGB(0xF2, 0xF2, 0xF2), x, RowTop(v, 1), x + 5 * cw, RowBottom(v, 1)), 5);

    AppConfig().m_colorCodes = 0;
    m_app->ApplyViewSettings();
    pic = Paint(v);
    EXPECT_EQ(0, pic.Count(kConsoleRed, 0, top, pic.width, bottom));
    EXPECT_EQ(0, pic.Count(kGreenOnLight, 0, top, pic.width, bottom));
    EXPECT_EQ(0, pic.Count(kKeywordBack, 0, top, pic.width, bottom));
}

TEST_F(ViewRenderTest, IntervalAtTheThresholdIsFlagged) {
    const std::string log =
        "no time stamp yet\r\n"
        "2021-03-04 05:06:07.000 a\r\n"
        "2021-03-04 05:06:08.000 b\r\n"
        "2021-03-04 05:06:08.999 c\r\n"
        "continued, inherits the time stamp\r\n"
        "2021-03-04 05:06:00.000 back in time\r\n";
    CLogView* v = Open(log);
    ASSERT_NE(nullptr, v);
    CAppParameter& config = AppConfig();
    config.m_intervalCheck = 1;
    config.m_intervalTime = 1000;
    m_app->ApplyViewSettings();
    int cw = v->CharWidth();
    int cellLeft = 10 * cw + 6, cellRight = 30 * cw + 6;
    auto flagged = [&](const ViewPicture& p, int k) {
        return p.Count(kErrorBack, cellLeft, RowTop(v, k), cellRight, RowBottom(v, k)) > 0;
    };
    ViewPicture pic = Paint(v);
    EXPECT_FALSE(flagged(pic, 0));  // before the first time stamp: an empty cell
    EXPECT_EQ(0, pic.Count(RGB(0, 0, 0), cellLeft, RowTop(v, 0), cellRight, RowBottom(v, 0)));
    EXPECT_TRUE(flagged(pic, 1));   // its own time of day
    EXPECT_TRUE(flagged(pic, 2));   // exactly 1000 ms
    EXPECT_FALSE(flagged(pic, 3));  // 999 ms
    EXPECT_FALSE(flagged(pic, 4));  // inherited: 00:00:00.000
    EXPECT_GT(pic.Count(RGB(0, 0, 0), cellLeft, RowTop(v, 4), cellRight, RowBottom(v, 4)), 10);
    EXPECT_TRUE(flagged(pic, 5));  // 99:99:99.999

    config.m_intervalTime = 1001;
    m_app->ApplyViewSettings();
    EXPECT_FALSE(flagged(Paint(v), 2));
    config.m_intervalCheck = 0;
    config.m_intervalTime = 0;
    m_app->ApplyViewSettings();
    EXPECT_FALSE(flagged(Paint(v), 5));
}

TEST_F(ViewRenderTest, CaretAndMarkerMarks) {
    std::string log;
    for (int i = 0; i < 60; ++i) log += "row " + std::to_string(i) + "\r\n";
    CLogView* v = Open(log);
    ASSERT_NE(nullptr, v);
    CLogLine line;
    ASSERT_TRUE(v->Lines()->Get(1, &line));
    v->Markers().Toggle(CRow(1), CLineNumber(line.lineNumber), CFileOffset(line.offset));
    v->Markers().Toggle(CRow(3), CLineNumber((*v->Lines())[3].lineNumber), CFileOffset((*v->Lines())[3].offset));
    v->GoToLine(2);
    ViewPicture pic = Paint(v);
    int cw = v->CharWidth();
    for (int k = 0; k < 4; ++k) {
        bool marked = k == 1 || k == 3;
        EXPECT_EQ(marked, pic.Count(kMarkerBack, 26 * cw + 5, RowTop(v, k), 27 * cw + 5, RowBottom(v, k)) > 0) << k;
        EXPECT_EQ(k == 2, pic.Count(kCursorBack, 27 * cw + 5, RowTop(v, k), 29 * cw + 5, RowBottom(v, k)) > 0) << k;
    }
    // Scrolled so that the marked row 1 is above the window, row 3 still shows its mark.
    v->SetVScrollPos(2);
    ASSERT_EQ(2, v->FirstVisibleRow());
    pic = Paint(v);
    EXPECT_TRUE(pic.Count(kCursorBack, 27 * cw + 5, RowTop(v, 0), 29 * cw + 5, RowBottom(v, 0)) > 0);
    EXPECT_TRUE(pic.Count(kMarkerBack, 26 * cw + 5, RowTop(v, 1), 27 * cw + 5, RowBottom(v, 1)) > 0);
    EXPECT_EQ(0, pic.Count(kMarkerBack, 26 * cw + 5, RowTop(v, 0), 27 * cw + 5, RowBottom(v, 0)));
}

TEST_F(ViewRenderTest, SelectionIsDrawnInItsColours) {
    constexpr COLORREF kSelectBack = RGB(60, 60, 200);
    SetColor(4, RGB(255, 255, 255), kSelectBack);
    CLogView* v = Open("abcdefghij\r\nklmnopqrst\r\n");
    ASSERT_NE(nullptr, v);
    int cw = v->CharWidth();
    int x = TextX(v);
    // Drag from row 0, column 3 to row 1, column 2.
    Click(v, WM_LBUTTONDOWN, CellX(v, 33), RowY(v, 0));
    Click(v, WM_MOUSEMOVE, CellX(v, 32), RowY(v, 1), MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 32), RowY(v, 1));
    ASSERT_EQ(CSelectionMode::kMade, v->SelectionState());
    ViewPicture pic = Paint(v);
    int left = 0, right = 0;
    ASSERT_TRUE(pic.Span(kSelectBack, 0, RowTop(v, 0), pic.width, RowBottom(v, 0), &left, &right));
    EXPECT_EQ(x + 3 * cw, left);
    // The rest of row 0 is selected, its line break included (drawn as blank cells or glyphs).
    EXPECT_GE(right, x + 10 * cw - 1);
    ASSERT_TRUE(pic.Span(kSelectBack, 0, RowTop(v, 1), pic.width, RowBottom(v, 1), &left, &right));
    EXPECT_EQ(x, left);
    EXPECT_EQ(x + 2 * cw - 1, right);
}

TEST_F(ViewRenderTest, ShortColourTablePaintsBlack) {
    AddKeyword(u"ERROR", 12, 0);
    CLogView* v = Open("ERROR here\r\n");
    ASSERT_NE(nullptr, v);
    CAppParameter& config = AppConfig();
    int saved = config.m_colorCount;
    config.m_colorCount = 12;  // entries 0..11 only
    m_app->ApplyViewSettings();
    ViewPicture pic = Paint(v);
    config.m_colorCount = saved;
    int cw = v->CharWidth();
    int x = TextX(v);
    int top = RowTop(v, 0), bottom = RowBottom(v, 0);
    EXPECT_EQ(5 * cw * v->LineHeight(), pic.Count(RGB(0, 0, 0), x, top, x + 5 * cw, bottom));
    EXPECT_GT(pic.Count(kNormalText, x + 6 * cw, top, x + 10 * cw, bottom), 5);
    // The header (entry 14) and the cells (15, 16) are beyond the table too.
    EXPECT_EQ(RGB(0, 0, 0), pic.At(pic.width - 3, v->RowPitch() / 2));
    EXPECT_EQ(RGB(0, 0, 0), pic.At(2, pic.height - 2));
}

TEST_F(ViewRenderTest, ViewWithoutLinesPaintsOnlyTheBackground) {
    CLogView* v = m_app->CreateLogView(&m_app->LogFile(), nullptr, L"empty");
    ASSERT_NE(nullptr, v);
    SizeView(v, 600, 300);
    ViewPicture pic = Paint(v);
    EXPECT_EQ(pic.width * pic.height, pic.Count(kNormalBack, 0, 0, pic.width, pic.height));
}

}  // namespace
