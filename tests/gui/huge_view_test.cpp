// A view over five billion rows, in both languages: the end, the status text, the jump
// dialog, a marker beyond 2^32 and the scroll bar's thumb, each touching only the rows it
// shows. The rows are made up: every one names the same line of a small log.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "document/row_source.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

constexpr int64_t kRows = 5000000000;
constexpr COLORREF kCursorText = RGB(200, 0, 0);

// kRows rows of one line of file, numbered as their rows; counts the entries handed out.
class CHugeRows : public CRowSource {
public:
    CHugeRows(CLogFile* file, const CLogLine& line) : m_file(file), m_line(line) {}
    int64_t Count() const override { return kRows; }
    bool Entry(CRow row, CLogLine* line) const override {
        if (row < CRow(0) || row >= CRow(kRows)) return false;
        *line = m_line;
        line->lineNumber = static_cast<decltype(line->lineNumber)>(row.Value());
        ++m_entriesRead;
        return true;
    }
    CLogFile* FileOf(CRow row) const override { return row >= CRow(0) && row < CRow(kRows) ? m_file : nullptr; }
    CLogFile* File() const override { return m_file; }
    int64_t EntriesRead() const { return m_entriesRead; }

private:
    CLogFile* m_file;
    CLogLine m_line;
    mutable int64_t m_entriesRead = 0;
};

class HugeViewTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Start(GetParam());
        m_view = OpenAndWait(WriteLog("small.log", "2021-03-04 05:06:07 one line of many\r\n"));
        ASSERT_NE(nullptr, m_view);
        CLogLine line;
        ASSERT_TRUE(m_view->Rows().Entry(CRow(0), &line));
        auto rows = std::make_unique<CHugeRows>(m_view->File(), line);
        m_rows = rows.get();
        m_view->SetRows(std::move(rows));
        SetColor(2, kCursorText, RGB(255, 220, 120));
        m_app->OnViewStateChanged(m_view);
        Pump();
    }
    // A command as a shortcut sends it: refused while greyed.
    void Shortcut(int id) {
        SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(id, 1), 0);
        Pump();
    }
    // The jump dialog given text; the range it showed.
    std::wstring Jump(const wchar_t* text) {
        std::wstring range;
        WithDialog([&] { Shortcut(IDM_JUMP); },
                   [&](HWND dialog) {
                       wchar_t shown[64] = {};
                       GetDlgItemTextW(dialog, IDC_JUMP_RANGE, shown, 64);
                       range = shown;
                       SetDlgItemTextW(dialog, IDC_JUMP_LINE, text);
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                   });
        return range;
    }
    // Moves the bar's thumb to a bar position as a drag would, then reports the drag.
    void DragThumb(int position) {
        SetScrollPos(m_view->Window(), SB_VERT, position, FALSE);
        SendMessageW(m_view->Window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, position & 0xffff), 0);
        Pump();
    }

    CLogView* m_view = nullptr;
    CHugeRows* m_rows = nullptr;
};

TEST_P(HugeViewTest, EndJumpMarkersAndThumbReachRowsBeyondThirtyTwoBits) {
    int64_t readBefore = m_rows->EntriesRead();
    Shortcut(IDM_JUMP_END);
    EXPECT_EQ(kRows - 1, m_view->CaretLine());
    int64_t first = m_view->FirstVisibleRow();
    EXPECT_GT(first, kRows - m_view->VisibleRows());
    EXPECT_LE(first, kRows - 1);
    EXPECT_EQ(L"line:5000000000, column:1", StatusText(1));
    SendMessageW(m_view->Window(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(kRows - 2, m_view->CaretLine());

    EXPECT_EQ(GetParam() == 1 ? L"1 \uFF5E 5000000000" : L"1 - 5000000000", Jump(L"4000000000"));
    EXPECT_EQ(3999999999, m_view->CaretLine());
    EXPECT_EQ(L"line:4000000000, column:1", StatusText(1));
    for (const wchar_t* bad : {L"5000000001", L"0", L"99999999999999999999", L"4e9"}) {
        Jump(bad);
        EXPECT_EQ(3999999999, m_view->CaretLine()) << bad;
    }

    // A marker past 2^32: listed, and its Jump button goes back to it.
    m_view->GoToLine(4300000000);
    Shortcut(IDM_MARKER_TOGGLE);
    m_view->GoToLine(0);
    std::wstring listed;
    WithDialog([&] { Shortcut(IDM_MARKER_LIST); },
               [&](HWND dialog) {
                   HWND list = GetDlgItem(dialog, IDC_MARKER_LIST);
                   wchar_t text[32] = {};
                   SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
                   listed = text;
                   SendMessageW(list, LB_SETCURSEL, 0, 0);
                   SendMessageW(dialog, WM_COMMAND, IDC_MARKER_JUMP, 0);
                   PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
               });
    EXPECT_EQ(4300000000, m_view->CaretLine());
    // The list shows the entry's line number, which holds the row once entries are 64-bit.
    if (sizeof(CLogLine{}.lineNumber) == sizeof(int64_t)) {
        EXPECT_EQ(L"4300000001", listed);
    }

    // The thumb at either end of the scaled bar shows the first or the last page exactly.
    Shortcut(IDM_JUMP_END);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(m_view->Window(), SB_VERT, &info));
    EXPECT_LE(info.nMax, 1 << 30);
    DragThumb(0);
    EXPECT_EQ(0, m_view->FirstVisibleRow());
    DragThumb(info.nMax - static_cast<int>(info.nPage) + 1);
    const CScrollState& bar = m_view->VScroll();
    EXPECT_EQ(bar.maximum - bar.page + 1, m_view->FirstVisibleRow());
    EXPECT_GT(m_view->FirstVisibleRow() + m_view->VisibleRows() - 1, kRows - 1);  // the last row shows
    ViewPicture picture = Paint(m_view);
    int cw = m_view->CharWidth();
    EXPECT_GT(picture.Count(kCursorText, 27 * cw, 0, 30 * cw, picture.height), 0);  // its caret mark
    // Nothing above walked the rows: a few windows' worth were read, not billions.
    EXPECT_LT(m_rows->EntriesRead() - readBefore, 20000);
}

// With View > Wrap Long Lines on, the moves count visual lines of only the rows they pass.
TEST_P(HugeViewTest, WrappingTouchesOnlyTheRowsNearTheWindow) {
    SendMessageW(m_frame, WM_COMMAND, IDM_WRAP_LINES, 0);
    Pump();
    ASSERT_TRUE(m_view->Wraps());
    int64_t readBefore = m_rows->EntriesRead();
    Shortcut(IDM_JUMP_END);
    EXPECT_EQ(kRows - 1, m_view->CaretLine());
    EXPECT_EQ(kRows - 1 - m_view->VisibleRows() / 2, m_view->FirstVisibleRow());
    Paint(m_view);
    SendMessageW(m_view->Window(), WM_VSCROLL, MAKEWPARAM(SB_PAGEUP, 0), 0);
    SendMessageW(m_view->Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_EQ(kRows - 1 - m_view->VisibleRows() / 2 - (m_view->VisibleRows() - 2) - 2, m_view->FirstVisibleRow());
    m_view->GoToLine(4000000000);
    SendMessageW(m_view->Window(), WM_KEYDOWN, VK_DOWN, 0);
    Paint(m_view);
    DragThumb(1 << 29);
    EXPECT_GT(m_view->FirstVisibleRow(), kRows / 3);
    Paint(m_view);
    EXPECT_LT(m_rows->EntriesRead() - readBefore, 20000);
}

INSTANTIATE_TEST_SUITE_P(Languages, HugeViewTest, ::testing::Values(0, 1));

}  // namespace
