// The log view's interaction: clicks, drags, double clicks, the context menu, the arrow
// keys, copying, the wheel, resizing and the scroll bars, driven with window messages.
#include <windows.h>
// <commctrl.h> needs <windows.h> first.
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

std::string RowText(int i) {
    char text[64];
    snprintf(text, sizeof text, "row%02d abcdefghijklmnopqrstuvwxyz value=0x1F;", i);
    return text;
}

std::string RowsLog(int n) {
    std::string log;
    for (int i = 0; i < n; ++i) log += RowText(i) + "\r\n";
    return log;
}

// Watches for a popup menu while a right click runs: records its items and closes it.
std::vector<std::wstring> g_menuItems;
bool g_menuSeen = false;

void CALLBACK MenuTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (menuWindow == nullptr || !IsWindowVisible(menuWindow)) return;
    KillTimer(nullptr, id);
    g_menuSeen = true;
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        g_menuItems.push_back(std::to_wstring(GetMenuItemID(menu, i)) + L" " + text);
    }
    EndMenu();
}

class ViewInteractionTest : public ViewTest {
protected:
    CLogView* Open(const std::string& text, int language = 0) {
        Start(language);
        CLogView* view = OpenAndWait(WriteLog("interaction.log", text));
        EXPECT_NE(nullptr, view);
        if (view != nullptr) SizeView(view, 900, 500);
        Paint(view);  // measures the font
        return view;
    }

    void Drag(CLogView* v, int fromCell, int fromRow, int toCell, int toRow) {
        Click(v, WM_LBUTTONDOWN, CellX(v, fromCell), RowY(v, fromRow), MK_LBUTTON);
        Click(v, WM_MOUSEMOVE, CellX(v, toCell), RowY(v, toRow), MK_LBUTTON);
        Click(v, WM_LBUTTONUP, CellX(v, toCell), RowY(v, toRow));
    }

    std::vector<std::wstring> RightClick(CLogView* v, int cell, int row) {
        g_menuItems.clear();
        g_menuSeen = false;
        UINT_PTR timer = SetTimer(nullptr, 0, 20, MenuTimer);
        Click(v, WM_RBUTTONDOWN, CellX(v, cell), RowY(v, row), MK_RBUTTON);
        if (!g_menuSeen) KillTimer(nullptr, timer);
        return g_menuItems;
    }

    // A status text without its last character: the view ends its selection reports with
    // a line break, which the status bar control shows as it likes.
    std::wstring StatusStart(int part) {
        std::wstring text = StatusText(part);
        return text.empty() ? text : text.substr(0, text.size() - 1);
    }

    void Key(CLogView* v, WPARAM key) { SendMessageW(v->Window(), WM_KEYDOWN, key, 1); }

    bool CopyEnabled() {
        HWND toolbar = m_app->ToolBar()->m_window;
        return SendMessageW(toolbar, TB_ISBUTTONENABLED, IDM_COPY, 0) != 0;
    }
};

TEST_F(ViewInteractionTest, ClickWithoutDragMovesOnlyTheCaret) {
    CLogView* v = Open(RowsLog(40));
    ASSERT_NE(nullptr, v);
    Click(v, WM_LBUTTONDOWN, CellX(v, 35), RowY(v, 3), MK_LBUTTON);
    EXPECT_EQ(L"Top(3, 5) - End(3, 5) mode=2", StatusStart(0));
    Click(v, WM_LBUTTONUP, CellX(v, 35), RowY(v, 3));
    EXPECT_EQ(CSelectionMode::kNone, v->SelectionState());
    EXPECT_EQ(3, v->CaretLine());
    EXPECT_EQ(5, v->CaretColumn());
    EXPECT_EQ(L"line:4, column:6", StatusText(1));
    EXPECT_FALSE(CopyEnabled());
    // Without a selection the right button shows no menu.
    EXPECT_TRUE(RightClick(v, 35, 3).empty());
    EXPECT_FALSE(g_menuSeen);
}

TEST_F(ViewInteractionTest, DragUpwardsStoresTheEndsInOrder) {
    CLogView* v = Open(RowsLog(40));
    ASSERT_NE(nullptr, v);
    Click(v, WM_LBUTTONDOWN, CellX(v, 36), RowY(v, 10), MK_LBUTTON);
    Click(v, WM_MOUSEMOVE, CellX(v, 33), RowY(v, 5), MK_LBUTTON);
    EXPECT_EQ(L"Top(10, 6) - End(5, 3) mode=2, cnt=46", StatusStart(0));
    Click(v, WM_LBUTTONUP, CellX(v, 33), RowY(v, 5));
    EXPECT_EQ(CSelectionMode::kMade, v->SelectionState());
    EXPECT_EQ(5, v->SelectionFirstRow());
    EXPECT_EQ(3, v->SelectionFirstColumn());
    EXPECT_EQ(10, v->SelectionLastRow());
    EXPECT_EQ(6, v->SelectionLastColumn());
    EXPECT_EQ(10, v->CaretLine());
    EXPECT_EQ(L"line:11, column:7", StatusText(1));
    EXPECT_TRUE(CopyEnabled());
}

// Dragging near the bottom edge scrolls ahead of the pointer, and the thumb goes along.
TEST_F(ViewInteractionTest, DraggingNearTheBottomEdgeMovesTheRowsAndTheThumb) {
    CLogView* v = Open(RowsLog(400));
    ASSERT_NE(nullptr, v);
    Click(v, WM_LBUTTONDOWN, CellX(v, 35), RowY(v, 1), MK_LBUTTON);
    for (int i = 0; i < 6; ++i) Click(v, WM_MOUSEMOVE, CellX(v, 35), RowY(v, v->VisibleRows() - 1), MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 35), RowY(v, v->VisibleRows() - 1));
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    ASSERT_TRUE(GetScrollInfo(v->Window(), SB_VERT, &info));
    EXPECT_GE(v->VScroll().position, 6);
    EXPECT_EQ(v->VScroll().position, info.nPos);
}

TEST_F(ViewInteractionTest, ContextMenuOverASelection) {
    for (int language : {0, 1}) {
        CLogView* v = Open(RowsLog(10), language);
        ASSERT_NE(nullptr, v);
        Drag(v, 31, 1, 36, 1);
        std::vector<std::wstring> items = RightClick(v, 33, 1);
        std::vector<std::wstring> expected =
            language == 1
                ? std::vector<std::wstring>{L"5009 コピー", L"6021 前を検索",      L"6022 次を検索", L"6023 ログを抽出",
                                            L"0 ",          L"4294967295 色ラベル"}
                : std::vector<std::wstring>{
                      L"5009 Copy", L"6021 Previous Search",   L"6022 Next Search", L"6023 Extraction",
                      L"0 ",        L"4294967295 Colour Label"};
        EXPECT_EQ(expected, items) << language;
        TearDown();
    }
}

// The context menu's searches and extraction take a one-row selection as the condition.
TEST_F(ViewInteractionTest, ContextCommandsSearchAndExtractTheSelection) {
    CLogView* v = Open(RowsLog(10) + "other\r\n" + RowText(11) + "\r\n");
    ASSERT_NE(nullptr, v);
    Drag(v, 36, 2, 39, 2);  // "abc"
    SendMessageW(m_frame, WM_COMMAND, IDM_SELECTION_SEARCH_NEXT, 0);
    EXPECT_EQ(3, v->CaretLine());
    EXPECT_EQ(CSelectionMode::kNone, v->SelectionState());
    EXPECT_EQ(1, v->HighlightSearch());
    Drag(v, 36, 4, 39, 4);
    SendMessageW(m_frame, WM_COMMAND, IDM_SELECTION_SEARCH_PREVIOUS, 0);
    EXPECT_EQ(3, v->CaretLine());
    std::wstring head;
    WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, IDM_SEARCH, 0); },
               [&](HWND dialog) {
                   wchar_t text[64] = {};
                   GetDlgItemTextW(dialog, IDC_CONDITION_1, text, 64);
                   head = text;
                   PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
               });
    EXPECT_EQ(L"abc", head);
    Drag(v, 36, 9, 39, 9);
    SendMessageW(m_frame, WM_COMMAND, IDM_SELECTION_EXTRACTION, 0);
    CLogView* extracted = m_app->Views().Active();
    ASSERT_NE(v, extracted);
    EXPECT_EQ(11, extracted->Lines()->Count());
    EXPECT_EQ(L"Extraction:abc", WindowText(extracted->Window()));
    // A selection over two rows gives no condition: the dialog opens as for Next Search (IDM_SEARCH_NEXT).
    SendMessageW(extracted->Window(), WM_CLOSE, 0, 0);
    Pump();
    Drag(v, 36, 9, 39, 10);
    ASSERT_EQ(CSelectionMode::kMade, v->SelectionState());
    bool opened = false;
    WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, IDM_SELECTION_SEARCH_NEXT, 0); },
               [&](HWND dialog) {
                   opened = true;
                   PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
               });
    EXPECT_TRUE(opened);
}

TEST_F(ViewInteractionTest, FirstVisibleColumnShiftsTheHitColumn) {
    CLogView* v = Open(RowsLog(40));
    ASSERT_NE(nullptr, v);
    v->SetHScrollPos(4);
    ASSERT_EQ(4, v->FirstVisibleColumn());
    Click(v, WM_LBUTTONDOWN, CellX(v, 40), RowY(v, 2), MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 40), RowY(v, 2));
    EXPECT_EQ(14, v->CaretColumn());
    EXPECT_EQ(L"line:3, column:15", StatusText(1));
}

TEST_F(ViewInteractionTest, DoubleClickSelectsTheTokenUnderThePointer) {
    CLogView* v = Open("value=0x1F;\r\nnext\r\n");
    ASSERT_NE(nullptr, v);
    Click(v, WM_LBUTTONDBLCLK, CellX(v, 37), RowY(v, 0), MK_LBUTTON);
    ASSERT_EQ(CSelectionMode::kMade, v->SelectionState());
    EXPECT_EQ(0, v->SelectionFirstRow());
    EXPECT_EQ(6, v->SelectionFirstColumn());
    EXPECT_EQ(10, v->SelectionLastColumn());
    EXPECT_EQ(7, v->CaretColumn());
    EXPECT_TRUE(CopyEnabled());
    char16_t* text = v->GetSelectedText();
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(std::u16string(u"0x1F"), std::u16string(text));
    std::free(text);
    EXPECT_EQ(CSelectionMode::kNone, v->SelectionState());
}

TEST_F(ViewInteractionTest, DoubleClickOnTheCellsMarksAndJumps) {
    CLogView* v = Open(RowsLog(80));
    ASSERT_NE(nullptr, v);
    // The interval cell toggles the row's marker.
    Click(v, WM_LBUTTONDBLCLK, CellX(v, 20), RowY(v, 4), MK_LBUTTON);
    ASSERT_EQ(1, v->Markers().Count());
    EXPECT_EQ(CLineNumber(4), v->Markers().At(0)->lineNumber);
    EXPECT_EQ(CFileOffset((*v->Lines())[4].offset), v->Markers().At(0)->offset);
    Click(v, WM_LBUTTONDBLCLK, CellX(v, 20), RowY(v, 4), MK_LBUTTON);
    EXPECT_EQ(0, v->Markers().Count());

    // The line-number cell of an extracted row moves the first view to that line.
    std::unique_ptr<CLogLineList> lines(new CLogLineList());
    ASSERT_EQ(1, lines->Append((*v->Lines())[60]));
    CLogView* extract = m_app->CreateLogView(&m_app->LogFile(), std::move(lines), L"extract");
    ASSERT_NE(nullptr, extract);
    Pump();
    Paint(extract);
    Click(extract, WM_LBUTTONDBLCLK, CellX(extract, 3), RowY(extract, 0), MK_LBUTTON);
    EXPECT_EQ(60, v->CaretLine());
    EXPECT_EQ(60 - v->VisibleRows() / 2, v->FirstVisibleRow());
    EXPECT_EQ(0, extract->CaretLine());
}

TEST_F(ViewInteractionTest, PointsOutsideTheListAreHarmless) {
    CLogView* v = Open(RowsLog(3));
    ASSERT_NE(nullptr, v);
    RECT client;
    GetClientRect(v->Window(), &client);
    int below = client.bottom - 3;
    // Double clicks on a row that does not exist change nothing.
    for (int cell : {3, 20, 40}) Click(v, WM_LBUTTONDBLCLK, CellX(v, cell), below, MK_LBUTTON);
    EXPECT_EQ(0, v->Markers().Count());
    EXPECT_EQ(CSelectionMode::kNone, v->SelectionState());
    EXPECT_EQ(0, v->CaretLine());
    // A click below the last row leaves the caret on the last row.
    Click(v, WM_LBUTTONDOWN, CellX(v, 40), below, MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 40), below);
    EXPECT_EQ(2, v->CaretLine());
    // A drag from the middle to below the end selects through the end of the text.
    Click(v, WM_LBUTTONDOWN, CellX(v, 30), RowY(v, 1), MK_LBUTTON);
    Click(v, WM_MOUSEMOVE, CellX(v, 40), below, MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 40), below);
    char16_t* text = v->GetSelectedText();
    ASSERT_NE(nullptr, text);
    std::string expected = RowText(1) + "\r\n" + RowText(2) + "\r\n";
    EXPECT_EQ(std::u16string(expected.begin(), expected.end()), std::u16string(text));
    std::free(text);
    Key(v, VK_DOWN);
    Key(v, VK_RIGHT);
    EXPECT_EQ(2, v->CaretLine());
    Paint(v);
}

TEST_F(ViewInteractionTest, EmptyListAndJumpToEnd) {
    CLogView* v = Open("\r\n\r\n\n");
    ASSERT_NE(nullptr, v);
    ASSERT_EQ(0, v->Lines()->Count());
    SendMessageW(m_frame, WM_COMMAND, IDM_JUMP_END, 0);
    EXPECT_EQ(0, v->CaretLine());
    v->GoToLine(5);
    EXPECT_EQ(0, v->CaretLine());
    Click(v, WM_LBUTTONDOWN, CellX(v, 40), RowY(v, 2), MK_LBUTTON);
    Click(v, WM_MOUSEMOVE, CellX(v, 45), RowY(v, 4), MK_LBUTTON);
    Click(v, WM_LBUTTONUP, CellX(v, 45), RowY(v, 4));
    // Copying that empty selection leaves what the clipboard held.
    SetClipboard(L"kept");
    SendMessageW(m_frame, WM_COMMAND, IDM_COPY, 0);
    EXPECT_EQ(L"kept", ClipboardText());
    for (WPARAM key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) Key(v, key);
    Click(v, WM_LBUTTONDBLCLK, CellX(v, 20), RowY(v, 0), MK_LBUTTON);
    EXPECT_EQ(0, v->Markers().Count());
    EXPECT_EQ(0, v->CaretLine());
    Paint(v);
}

TEST_F(ViewInteractionTest, GoToLineCentresAndClamps) {
    CLogView* v = Open(RowsLog(200));
    ASSERT_NE(nullptr, v);
    int half = v->VisibleRows() / 2;
    v->GoToLine(100);
    EXPECT_EQ(100, v->CaretLine());
    EXPECT_EQ(100 - half, v->FirstVisibleRow());
    v->GoToLine(half - 1);
    EXPECT_EQ(0, v->FirstVisibleRow());
    SendMessageW(m_frame, WM_COMMAND, IDM_JUMP_END, 0);
    EXPECT_EQ(199, v->CaretLine());
    EXPECT_EQ(L"line:200, column:1", StatusText(1));
    v->GoToLine(100000);
    EXPECT_EQ(199, v->CaretLine());
}

TEST_F(ViewInteractionTest, ArrowKeysStopAtTheEdges) {
    CLogView* v = Open("ab\r\ncdef\r\ng\r\n");
    ASSERT_NE(nullptr, v);
    Key(v, VK_UP);
    Key(v, VK_LEFT);
    EXPECT_EQ(0, v->CaretLine());
    EXPECT_EQ(0, v->CaretColumn());
    EXPECT_EQ(L"line:1, column:1", StatusText(1));
    // Right walks the row's bytes, line break included, then wraps to the next row.
    for (int i = 0; i < 4; ++i) Key(v, VK_RIGHT);
    EXPECT_EQ(0, v->CaretLine());
    EXPECT_EQ(4, v->CaretColumn());
    Key(v, VK_RIGHT);
    EXPECT_EQ(1, v->CaretLine());
    EXPECT_EQ(0, v->CaretColumn());
    Key(v, VK_LEFT);
    EXPECT_EQ(0, v->CaretLine());
    EXPECT_EQ(3, v->CaretColumn());
    // Down clamps the column to the shorter row below.
    Key(v, VK_DOWN);
    Key(v, VK_DOWN);
    EXPECT_EQ(2, v->CaretLine());
    EXPECT_EQ(2, v->CaretColumn());
    Key(v, VK_DOWN);
    EXPECT_EQ(2, v->CaretLine());
    EXPECT_EQ(L"line:3, column:3", StatusText(1));
}

TEST_F(ViewInteractionTest, ArrowKeysScrollWithTheCaret) {
    CLogView* v = Open(RowsLog(200));
    ASSERT_NE(nullptr, v);
    int visible = v->VisibleRows();
    ASSERT_GT(visible, 10);
    for (int i = 0; i < visible; ++i) Key(v, VK_DOWN);
    EXPECT_EQ(visible, v->CaretLine());
    EXPECT_EQ(5, v->FirstVisibleRow());
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(v->Window(), SB_VERT, &info);
    EXPECT_EQ(5, info.nPos);
    for (int i = 0; i < visible - 6; ++i) Key(v, VK_UP);
    EXPECT_EQ(6, v->CaretLine());
    EXPECT_EQ(4, v->FirstVisibleRow());
}

TEST_F(ViewInteractionTest, CopyThreeRowsToTheClipboard) {
    CLogView* v = Open(RowsLog(10));
    ASSERT_NE(nullptr, v);
    ClearClipboard();
    Drag(v, 32, 1, 34, 3);
    ASSERT_EQ(CSelectionMode::kMade, v->SelectionState());
    SendMessageW(m_frame, WM_COMMAND, IDM_COPY, 0);
    std::string expected = RowText(1).substr(2) + "\r\n" + RowText(2) + "\r\n" + RowText(3).substr(0, 4);
    EXPECT_EQ(std::wstring(expected.begin(), expected.end()), ClipboardText());
    EXPECT_EQ(CSelectionMode::kNone, v->SelectionState());
    EXPECT_FALSE(CopyEnabled());
}

TEST_F(ViewInteractionTest, CtrlCCopiesAndCtrlShiftCDoesNot) {
    CLogView* v = Open(RowsLog(10));
    ASSERT_NE(nullptr, v);
    ClearClipboard();
    Drag(v, 30, 2, 35, 2);
    SendMessageW(v->Window(), WM_CHAR, 3, 1);
    Pump();
    EXPECT_EQ(L"row02", ClipboardText());
    EXPECT_EQ(CSelectionMode::kNone, v->SelectionState());

    ClearClipboard();
    Drag(v, 30, 3, 35, 3);
    keybd_event(VK_SHIFT, 0, 0, 0);
    Pump();
    ASSERT_NE(0, GetAsyncKeyState(VK_SHIFT) & 0x8000) << "the shift key state cannot be simulated here";
    SendMessageW(v->Window(), WM_CHAR, 3, 1);
    Pump();
    keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
    Pump();
    EXPECT_EQ(L"", ClipboardText());
    EXPECT_EQ(CSelectionMode::kMade, v->SelectionState());
}

TEST_F(ViewInteractionTest, WheelNotchesMoveTwoRows) {
    CLogView* v = Open(RowsLog(200));
    ASSERT_NE(nullptr, v);
    v->SetVScrollPos(10);
    auto wheel = [&](int delta) {
        SendMessageW(v->Window(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))), 0);
    };
    wheel(-120);
    EXPECT_EQ(12, v->FirstVisibleRow());
    wheel(120);
    EXPECT_EQ(10, v->FirstVisibleRow());
    wheel(240);
    EXPECT_EQ(6, v->FirstVisibleRow());
    wheel(60);
    EXPECT_EQ(6, v->FirstVisibleRow());
    wheel(1200);
    EXPECT_EQ(0, v->FirstVisibleRow());
}

TEST_F(ViewInteractionTest, ResizeReturnsToTheFirstRowAndColumn) {
    CLogView* v = Open(RowsLog(200));
    ASSERT_NE(nullptr, v);
    v->SetVScrollPos(30);
    v->SetHScrollPos(6);
    ASSERT_EQ(30, v->FirstVisibleRow());
    ASSERT_EQ(6, v->FirstVisibleColumn());
    SizeView(v, 700, 380);
    EXPECT_EQ(0, v->FirstVisibleRow());
    EXPECT_EQ(0, v->FirstVisibleColumn());
    EXPECT_EQ(500, v->HScroll().maximum);
    RECT client;
    GetClientRect(v->Window(), &client);
    EXPECT_EQ((client.bottom + v->RowPitch() - 1) / v->RowPitch(), v->VisibleRows());
}

TEST_F(ViewInteractionTest, DragScrollsAheadOfThePointer) {
    CLogView* v = Open(RowsLog(200));
    ASSERT_NE(nullptr, v);
    int visible = v->VisibleRows();
    Click(v, WM_LBUTTONDOWN, CellX(v, 32), RowY(v, 5), MK_LBUTTON);
    Click(v, WM_MOUSEMOVE, CellX(v, 32), RowY(v, visible - 2), MK_LBUTTON);
    EXPECT_EQ(1, v->FirstVisibleRow());  // three rows ahead of the pointer
    Click(v, WM_MOUSEMOVE, CellX(v, 32), RowY(v, 1), MK_LBUTTON);
    EXPECT_EQ(0, v->FirstVisibleRow());
    Click(v, WM_LBUTTONUP, CellX(v, 32), RowY(v, 1));
}

// A drag whose button-up goes elsewhere (the capture taken away) ends where it was.
TEST_F(ViewInteractionTest, ADragThatLosesTheMouseEnds) {
    CLogView* v = Open(RowsLog(200));
    ASSERT_NE(nullptr, v);
    int visible = v->VisibleRows();
    Click(v, WM_LBUTTONDOWN, CellX(v, 32), RowY(v, 2), MK_LBUTTON);
    EXPECT_EQ(v->Window(), GetCapture());
    Click(v, WM_MOUSEMOVE, CellX(v, 35), RowY(v, 4), MK_LBUTTON);
    SetCapture(m_frame);  // as Alt+Tab or another window would
    ReleaseCapture();
    EXPECT_EQ(CSelectionMode::kMade, v->SelectionState());
    EXPECT_EQ(4, v->SelectionLastRow());
    // Hovering afterwards neither extends the selection nor scrolls.
    Click(v, WM_MOUSEMOVE, CellX(v, 40), RowY(v, visible - 1));
    EXPECT_EQ(4, v->SelectionLastRow());
    EXPECT_EQ(0, v->FirstVisibleRow());
    // A plain drag still ends with its button-up, and leaves no capture behind.
    Drag(v, 32, 6, 36, 8);
    EXPECT_EQ(CSelectionMode::kMade, v->SelectionState());
    EXPECT_EQ(8, v->SelectionLastRow());
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(ViewInteractionTest, ThumbTrackReachesPositionsAbove65535) {
    std::string log;
    log.reserve(70000 * 3);
    for (int i = 0; i < 70000; ++i) log += "x\n";
    CLogView* v = Open(log);
    ASSERT_NE(nullptr, v);
    ASSERT_EQ(70000, v->Lines()->Count());
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = 69000;
    SetScrollInfo(v->Window(), SB_VERT, &info, FALSE);
    // The message carries only the low 16 bits of the position.
    SendMessageW(v->Window(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 69000 & 0xFFFF), 0);
    EXPECT_EQ(69000, v->FirstVisibleRow());
    SendMessageW(v->Window(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(69001, v->FirstVisibleRow());
}

}  // namespace
