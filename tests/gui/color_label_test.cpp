// Colour labels in both languages: a selected word or text takes a label by its shortcut or
// command, every view draws each occurrence in the label's colour (on the light and the dark
// ground), the overview strip shows the rows in a lane of labels, the context menu offers
// them, and they come back with the log.
#include <windows.h>

#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/color_labels.h"
#include "config/dark_colors.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view/overview_strip.h"
#include "view_test_support.h"

using testing_support::ReadBytes;

namespace {

const char kLog[] =
    "alpha ERROR one\r\n"
    "beta disk full\r\n"
    "ERROR again\r\n"
    "gamma\r\n"
    "the disk full twice: disk full\r\n";

// The items of the popup menu that a right click opens, its submenu's too, and then closed.
std::vector<std::wstring> g_items;

void CALLBACK ReadMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND window = FindWindowW(L"#32768", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) return;
    KillTimer(nullptr, id);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0));
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
        HMENU sub = GetSubMenu(menu, i);
        for (int j = 0; sub != nullptr && j < GetMenuItemCount(sub); ++j) {
            wchar_t text[64] = {};
            GetMenuStringW(sub, static_cast<UINT>(j), text, 64, MF_BYPOSITION);
            g_items.push_back(std::to_wstring(GetMenuItemID(sub, j)) + L" " + text);
        }
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        if (sub != nullptr) g_items.push_back(std::wstring(L"> ") + text);
    }
    EndMenu();
}

class ColorLabelTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Start(GetParam());
        AppConfig().m_overview = 1;
        m_view = Open();
    }
    CLogView* Open() {
        CLogView* view = OpenAndWait(WriteLog("labels.log", kLog));
        EXPECT_NE(nullptr, view);
        if (view != nullptr) {
            SizeView(view, 900, 400);
            Paint(view);  // measures the font
        }
        return view;
    }
    bool Japanese() const { return GetParam() == kLanguageJapanese; }
    // Selects the text cells [from, to) of a window row by a drag.
    void Select(CLogView* v, int row, int from, int to) {
        Click(v, WM_LBUTTONDOWN, CellX(v, 30 + from), RowY(v, row), MK_LBUTTON);
        Click(v, WM_LBUTTONUP, CellX(v, 30 + to) - v->CharWidth() / 2, RowY(v, row));
    }
    // A key press as the message loop gets it, with Control and Shift held.
    bool PressWithControlShift(UINT key) {
        BYTE saved[256], state[256];
        GetKeyboardState(saved);
        GetKeyboardState(state);
        state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        state[VK_SHIFT] = state[VK_LSHIFT] = 0x80;
        SetKeyboardState(state);
        MSG msg = {m_view->Window(), WM_KEYDOWN, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
        bool translated = m_app->TranslateAccelerators(&msg);
        SetKeyboardState(saved);
        Pump();
        return translated;
    }
    // Pixels of colour c in the text of window row k.
    int InRow(const ViewPicture& picture, CLogView* v, int k, COLORREF c) {
        int top = v->RowPitch() * (k + 1);
        return picture.Count(c, 30 * v->CharWidth() + 6, top, picture.width, top + v->RowPitch());
    }
    COLORREF Ink(CLogView* v, int label) { return LabelColor(label, v->Settings().colors[0].background); }

    CLogView* m_view = nullptr;
};

TEST_P(ColorLabelTest, ASelectionTakesALabelThatEveryViewDraws) {
    ASSERT_NE(nullptr, m_view);
    SetFocus(m_view->Window());
    // A double click selects the word; Ctrl+Shift+1 gives it the first label.
    Click(m_view, WM_LBUTTONDBLCLK, CellX(m_view, 37), RowY(m_view, 0));
    ASSERT_TRUE(PressWithControlShift('1'));
    EXPECT_EQ(u"ERROR", m_app->Labels().Text(0));
    EXPECT_EQ(CSelectionMode::kNone, m_view->SelectionState());
    // Two words by a drag, through the command of the context menu.
    Select(m_view, 1, 5, 14);
    SendMessageW(m_frame, WM_COMMAND, IDM_LABEL_3, 0);
    EXPECT_EQ(u"disk full", m_app->Labels().Text(2));
    // Without a selection a label changes nothing.
    SendMessageW(m_frame, WM_COMMAND, IDM_LABEL_5, 0);
    EXPECT_TRUE(m_app->Labels().Text(4).empty());

    ViewPicture picture = Paint(m_view);
    COLORREF red = Ink(m_view, 0);
    COLORREF third = Ink(m_view, 2);
    EXPECT_GT(InRow(picture, m_view, 0, red), 0);
    EXPECT_GT(InRow(picture, m_view, 2, red), 0);
    EXPECT_EQ(0, InRow(picture, m_view, 1, red));
    EXPECT_EQ(0, InRow(picture, m_view, 3, red));
    EXPECT_GT(InRow(picture, m_view, 4, third), InRow(picture, m_view, 1, third));  // twice as often
    // An extraction's view draws the same labels.
    m_app->SearchConditions().Add(u"ERROR");
    m_app->StartExtraction(m_view);
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(m_view) != nullptr && !m_app->Runner().Busy(); }));
    CLogView* extracted = ViewAfter(m_view);
    SizeView(extracted, 900, 400);
    EXPECT_GT(InRow(Paint(extracted), extracted, 1, Ink(extracted, 0)), 0);
    SendMessageW(extracted->Window(), WM_CLOSE, 0, 0);
    Pump();
    // The strip's lane of labels holds the rows of each label.
    ASSERT_TRUE(PumpUntil([&] { return m_view->Overview() != nullptr && m_view->Overview()->ScanDone(); }));
    std::vector<uint16_t> buckets(5);
    m_view->Overview()->ReadLabelBuckets(5, buckets.data());
    EXPECT_EQ((std::vector<uint16_t>{1, 4, 1, 0, 4}), buckets);
    // On the dark ground the labels take their dark-theme colours.
    SendMessageW(m_frame, WM_COMMAND, IDM_DARK_THEME_ON, 0);
    Pump();
    ASSERT_EQ(kDarkGround, m_view->Settings().colors[0].background);
    EXPECT_GT(InRow(Paint(m_view), m_view, 2, LabelColor(0, kDarkGround)), 0);
    SendMessageW(m_frame, WM_COMMAND, IDM_DARK_THEME_OFF, 0);
    Pump();

    // Kept with the log: closed and opened again, the labels come back.
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    Pump();
    EXPECT_TRUE(m_app->Labels().Empty());
    EXPECT_NE(std::string::npos, ReadBytes(m_dir.FsPath("quillon_state.xml")).find("<text>disk%0020full</text>"));
    m_view = Open();
    ASSERT_NE(nullptr, m_view);
    EXPECT_EQ(u"ERROR", m_app->Labels().Text(0));
    EXPECT_EQ(u"disk full", m_app->Labels().Text(2));
    EXPECT_GT(InRow(Paint(m_view), m_view, 2, Ink(m_view, 0)), 0);
    // Ctrl+Shift+0 takes them all off.
    SetFocus(m_view->Window());
    ASSERT_TRUE(PressWithControlShift('0'));
    EXPECT_TRUE(m_app->Labels().Empty());
    EXPECT_EQ(0, InRow(Paint(m_view), m_view, 2, Ink(m_view, 0)));
}

TEST_P(ColorLabelTest, TheContextMenuOffersTheLabelsByName) {
    ASSERT_NE(nullptr, m_view);
    Select(m_view, 1, 5, 9);
    g_items.clear();
    UINT_PTR timer = SetTimer(nullptr, 0, 20, ReadMenu);
    Click(m_view, WM_RBUTTONDOWN, CellX(m_view, 36), RowY(m_view, 1), MK_RBUTTON);
    KillTimer(nullptr, timer);
    std::vector<std::wstring> want =
        Japanese() ? std::vector<std::wstring>{L"6111 &1 赤\tCtrl+Shift+1",     L"6112 &2 オレンジ\tCtrl+Shift+2",
                                               L"6113 &3 黄\tCtrl+Shift+3",     L"6114 &4 黄緑\tCtrl+Shift+4",
                                               L"6115 &5 緑\tCtrl+Shift+5",     L"6116 &6 青緑\tCtrl+Shift+6",
                                               L"6117 &7 青\tCtrl+Shift+7",     L"6118 &8 紫\tCtrl+Shift+8",
                                               L"6119 &9 ピンク\tCtrl+Shift+9", L"0 ",
                                               L"6110 消去\tCtrl+Shift+0",      L"> 色ラベル"}
                   : std::vector<std::wstring>{L"6111 &1 Red\tCtrl+Shift+1",    L"6112 &2 Orange\tCtrl+Shift+2",
                                               L"6113 &3 Yellow\tCtrl+Shift+3", L"6114 &4 Lime\tCtrl+Shift+4",
                                               L"6115 &5 Green\tCtrl+Shift+5",  L"6116 &6 Teal\tCtrl+Shift+6",
                                               L"6117 &7 Blue\tCtrl+Shift+7",   L"6118 &8 Purple\tCtrl+Shift+8",
                                               L"6119 &9 Pink\tCtrl+Shift+9",   L"0 ",
                                               L"6110 Clear\tCtrl+Shift+0",     L"> Colour Label"};
    EXPECT_EQ(want, g_items);
    // A drag past the row's end labels its text without the line break.
    Select(m_view, 3, 0, 40);
    SendMessageW(m_frame, WM_COMMAND, IDM_LABEL_9, 0);
    EXPECT_EQ(u"gamma", m_app->Labels().Text(8));
}

INSTANTIATE_TEST_SUITE_P(Languages, ColorLabelTest, ::testing::Values(0, 1));

}  // namespace
