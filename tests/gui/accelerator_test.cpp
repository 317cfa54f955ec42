// Keyboard shortcuts through the message loop's translation (CAppBase::TranslateAccelerators),
// in both languages: each runs its command on a loaded log, and does nothing while greyed.
#include <windows.h>

#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

// Commands that reach the frame, recorded by a subclass of its procedure. Help is
// swallowed: it would start a browser.
std::vector<int> g_commands;
WNDPROC g_frameProc = nullptr;

LRESULT CALLBACK RecordingFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == 1) {
        g_commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDM_HELP) return 0;
    }
    return CallWindowProcW(g_frameProc, window, message, wParam, lParam);
}

// Dialogs that open while an action runs: their captions, each closed with Cancel.
std::vector<std::wstring> g_dialogs;

BOOL CALLBACK FindVisibleDialog(HWND window, LPARAM result) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(result) = window;
    return FALSE;
}

void CALLBACK CancelDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindVisibleDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    wchar_t caption[128] = {};
    GetWindowTextW(dialog, caption, 128);
    // Once per dialog: it stays visible until Cancel is handled.
    if (!g_dialogs.empty() && g_dialogs.back() == caption) return;
    g_dialogs.push_back(caption);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
}

std::string MakeLog() {
    std::string log;
    for (int i = 0; i < 20; ++i) {
        log += "2021-03-04 05:06:" + std::string(i < 10 ? "0" : "") + std::to_string(i) + " line " + std::to_string(i) +
               (i == 5 || i == 15 ? " hit" : "") + "\r\n";
    }
    return log;
}

class AcceleratorTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Start(GetParam());
        g_commands.clear();
        g_frameProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(m_frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingFrameProc)));
    }
    void TearDown() override {
        SetWindowLongPtrW(m_frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_frameProc));
        ViewTest::TearDown();
    }
    // A key press as the message loop gets it, aimed at the focused window, with the
    // modifiers held in the thread's key state; true when it became a command.
    bool Press(UINT key, bool control = false, bool shift = false) {
        BYTE saved[256], state[256];
        GetKeyboardState(saved);
        GetKeyboardState(state);
        state[VK_CONTROL] = state[VK_LCONTROL] = control ? 0x80 : 0;
        state[VK_SHIFT] = state[VK_LSHIFT] = shift ? 0x80 : 0;
        SetKeyboardState(state);
        HWND target = GetFocus() != nullptr ? GetFocus() : m_frame;
        MSG msg = {target, WM_KEYDOWN, key, 1, static_cast<DWORD>(GetMessageTime()), {}};
        bool translated = m_app->TranslateAccelerators(&msg);
        SetKeyboardState(saved);
        Pump();
        return translated;
    }
    // The captions of the dialogs that the key press opened (each cancelled).
    std::vector<std::wstring> DialogsOf(UINT key, bool control = false, bool shift = false) {
        g_dialogs.clear();
        UINT_PTR timer = SetTimer(nullptr, 0, 30, CancelDialog);
        Press(key, control, shift);
        KillTimer(nullptr, timer);
        return g_dialogs;
    }
    bool Ran(int id) {
        for (int c : g_commands) {
            if (c == id) return true;
        }
        return false;
    }
    bool Japanese() const { return GetParam() == 1; }
    bool Grey(int id) { return (MenuState(id) & MF_GRAYED) != 0; }
};

TEST_P(AcceleratorTest, EachShortcutRunsItsCommandOnALoadedLog) {
    CLogView* view = OpenAndWait(WriteLog("a.log", MakeLog()));
    ASSERT_NE(nullptr, view);
    SetFocus(view->Window());
    // Plain navigation keys stay with the view.
    for (UINT key : {VK_DOWN, VK_UP, VK_HOME, VK_END, VK_PRIOR, VK_NEXT}) EXPECT_FALSE(Press(key)) << key;
    EXPECT_FALSE(Press('C', true, true));  // Ctrl+Shift+C is not Copy

    EXPECT_TRUE(Press(VK_END, true));
    EXPECT_EQ(19, view->CaretLine());
    EXPECT_TRUE(Press(VK_HOME, true));
    EXPECT_EQ(0, view->CaretLine());

    // Markers on rows 3 and 12: Ctrl+F2 sets, F2 / Shift+F2 move with wrap-around.
    view->GoToLine(3);
    Press(VK_F2, true);
    view->GoToLine(12);
    Press(VK_F2, true);
    ASSERT_EQ(2, view->Markers().Count());
    Press(VK_F2);
    EXPECT_EQ(3, view->CaretLine());
    Press(VK_F2, false, true);
    EXPECT_EQ(12, view->CaretLine());
    EXPECT_EQ(std::vector<std::wstring>{Japanese() ? L"マーカ一覧" : L"Marker List"}, DialogsOf('M', true));

    // Ctrl+A selects every row whole; Ctrl+C copies them.
    EXPECT_TRUE(Grey(IDM_COPY));
    Press('A', true);
    EXPECT_EQ(CSelectionMode::kMade, view->SelectionState());
    EXPECT_EQ(0, view->SelectionFirstRow());
    EXPECT_EQ(19, view->SelectionLastRow());
    EXPECT_FALSE(Grey(IDM_COPY));
    ClearClipboard();
    Press('C', true);
    std::wstring copied = ClipboardText();
    EXPECT_EQ(MakeLog(), std::string(copied.begin(), copied.end()));

    // Ctrl+F opens the search dialog; with a condition F3 and Shift+F3 search again.
    EXPECT_EQ(std::vector<std::wstring>{Japanese() ? L"検索" : L"Search"}, DialogsOf('F', true));
    m_app->SearchConditions().Add(u"hit");
    view->GoToLine(0);
    Press(VK_F3);
    EXPECT_EQ(5, view->CaretLine());
    Press(VK_F3);
    EXPECT_EQ(15, view->CaretLine());
    Press(VK_F3, false, true);
    EXPECT_EQ(5, view->CaretLine());
    EXPECT_EQ(std::vector<std::wstring>{Japanese() ? L"指定行へ移動" : L"Jump Line"}, DialogsOf('G', true));
    EXPECT_EQ(std::vector<std::wstring>{Japanese() ? L"ログ抽出" : L"Extraction"}, DialogsOf('E', true));
    EXPECT_TRUE(Press(VK_F1));
    EXPECT_TRUE(Ran(IDM_HELP));

    // Ctrl+W closes the active view only; Ctrl+F4 closes the first, and with it the log.
    m_app->StartExtraction(view);
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(view) != nullptr && !m_app->Runner().Busy(); }));
    ASSERT_EQ(ViewAfter(view), m_app->Views().Active());
    Press('W', true);
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(view) == nullptr; }));
    EXPECT_EQ(view, m_app->Views().First());
    SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
    SetFocus(view->Window());
    EXPECT_TRUE(Press(VK_F4, true));
    ASSERT_TRUE(PumpUntil([&] { return m_app->Views().First() == nullptr; }));
    EXPECT_FALSE(m_app->LogFile().IsOpen());
}

TEST_P(AcceleratorTest, GreyedCommandsDoNothing) {
    // No log: only Open and Help work.
    for (auto key : {std::pair<UINT, bool>{'F', true}, {'G', true}, {'E', true}, {'M', true}, {VK_F3, false}}) {
        EXPECT_TRUE(DialogsOf(key.first, key.second).empty()) << key.first;
    }
    Press('A', true);
    Press(VK_F2, true);
    Press('W', true);
    for (int id :
         {IDM_SEARCH, IDM_JUMP, IDM_EXTRACTION, IDM_MARKER_LIST, IDM_SEARCH_NEXT, IDM_SELECT_ALL, IDM_MARKER_TOGGLE}) {
        EXPECT_FALSE(Ran(id)) << id;
    }
    std::vector<std::wstring> open = DialogsOf('O', true);
    ASSERT_EQ(1u, open.size());
    EXPECT_EQ(Japanese() ? L"ログファイルを読み込む" : L"Load LOG File", open[0]);

    // A loaded log without markers or a selection: the marker keys and Copy are greyed.
    CLogView* view = OpenAndWait(WriteLog("a.log", MakeLog()));
    ASSERT_NE(nullptr, view);
    SetFocus(view->Window());
    view->GoToLine(7);
    g_commands.clear();
    Press(VK_F2);
    Press(VK_F2, false, true);
    EXPECT_TRUE(DialogsOf('M', true).empty());
    EXPECT_EQ(7, view->CaretLine());
    SetClipboard(L"kept");
    Press('C', true);
    EXPECT_EQ(L"kept", ClipboardText());
    // With a log open, Open is greyed.
    EXPECT_TRUE(DialogsOf('O', true).empty());
    for (int id : {IDM_MARKER_NEXT, IDM_MARKER_PREVIOUS, IDM_MARKER_LIST, IDM_COPY, IDM_OPEN_LOG}) {
        EXPECT_FALSE(Ran(id)) << id;
    }
}

INSTANTIATE_TEST_SUITE_P(Languages, AcceleratorTest, ::testing::Values(0, 1));

}  // namespace
