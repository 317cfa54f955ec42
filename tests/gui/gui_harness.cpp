// The GUI harness: starts CAppMain in-process like the entry point does, without its loop.
#include "gui_harness.h"

#include <commctrl.h>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "shell/app_main.h"

namespace {

std::function<void(HWND)> g_dialogBody;
bool g_dialogSeen = false;

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (lstrcmpW(name, L"#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK DialogTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || g_dialogSeen) return;
    g_dialogSeen = true;
    KillTimer(nullptr, id);
    if (g_dialogBody) g_dialogBody(dialog);
}

std::u16string U16(const std::filesystem::path& p) { return p.u16string(); }

std::u16string g_current, g_exe, g_user;

}  // namespace

std::string SettingsXml(int language, const std::string& extra) {
    std::string doc = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>";
    if (language >= -1) doc += "<language>" + std::to_string(language) + "</language>\r\n";
    doc += extra;
    doc += "</config>\r\n";
    return doc;
}

void GuiTest::StartApp(int language, const std::string& extraSettings) {
    if (language != -2) testing_support::WriteBytes(m_dir.FsPath("quillon.ini"), SettingsXml(language, extraSettings));
    std::filesystem::create_directory(m_dir.FsPath("user"));
    g_current = U16(m_dir.Path());
    g_exe = U16(m_dir.FsPath("quillon.exe"));
    g_user = U16(m_dir.FsPath("user"));
    g_folderOverrides.currentFolder = g_current.c_str();
    g_folderOverrides.executablePath = g_exe.c_str();
    g_folderOverrides.userDataRoot = g_user.c_str();
    g_config = new CAppParameter();
    g_config->Reset();
    INITCOMMONCONTROLSEX icc = {
        sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    m_app = new CAppMain();
    ASSERT_EQ(1, m_app->InitInstance(GetModuleHandleW(nullptr)));
    m_frame = m_app->Frame();
    m_app->ShowFrame(SW_SHOW);
    Pump();
}

void GuiTest::TearDown() {
    if (m_app != nullptr) {
        if (IsWindow(m_frame)) SendMessageW(m_frame, WM_CLOSE, 0, 0);
        Pump();
        m_app->Runner().Stop();
        delete m_app;
        m_app = nullptr;
    }
    // Classes are per process: unregister so that the next test registers them again.
    UnregisterClassW(L"QUILLON MAIN WINDOW", GetModuleHandleW(nullptr));
    UnregisterClassW(L"QUILLON MDI CLIENT WINDOW", GetModuleHandleW(nullptr));
    delete g_config;
    g_config = nullptr;
    g_folderOverrides = CFolderOverrides();
}

void GuiTest::Pump(int rounds) {
    for (int r = 0; r < rounds; ++r) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(5);
    }
}

void GuiTest::WithDialog(const std::function<void()>& action, const std::function<void(HWND)>& body) {
    g_dialogBody = body;
    g_dialogSeen = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 30, DialogTimer);
    action();
    if (!g_dialogSeen) KillTimer(nullptr, timer);
    EXPECT_TRUE(g_dialogSeen) << "no dialog opened";
    g_dialogBody = nullptr;
}

std::wstring GuiTest::MenuText(int id) {
    wchar_t text[256] = {};
    GetMenuStringW(GetMenu(m_frame), static_cast<UINT>(id), text, 256, MF_BYCOMMAND);
    return text;
}

UINT GuiTest::MenuState(int id) { return GetMenuState(GetMenu(m_frame), static_cast<UINT>(id), MF_BYCOMMAND); }

UINT GuiTest::TopMenuState(int position) {
    return GetMenuState(GetMenu(m_frame), static_cast<UINT>(position), MF_BYPOSITION);
}

std::wstring GuiTest::WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}
