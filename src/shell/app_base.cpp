// CAppBase: frame creation, layout, the message loop and the framework's own commands.
#include "shell/app_base.h"

#include <shellapi.h>

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "winui/dpi.h"
#include "winui/window_instance.h"

namespace {

CAppBase* g_app = nullptr;

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CAppBase* app = GetApp();
    if (app == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return app->WindowProc(window, message, wParam, lParam);
}

LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    CAppBase* app = GetApp();
    if (app == nullptr) return DefMDIChildProcW(window, message, wParam, lParam);
    return app->MDIChildProc(window, message, wParam, lParam);
}

int MapId(int id) { return AppConfig().MapResourceId(id); }

}  // namespace

CAppBase* GetApp() { return g_app; }

void SetApp(CAppBase* app) { g_app = app; }

CAppBase::CAppBase() { SetApp(this); }

int CAppBase::Run(HINSTANCE instance, HINSTANCE, const wchar_t* commandLine, int showCommand) {
    m_instance = instance;
    INITCOMMONCONTROLSEX icc = {
        sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    if (!InitInstance(instance)) return 0;
    ShowFrame(showCommand);
    ProcessCommandLine(commandLine);
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (TranslateAccelerators(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    ExitInstance(instance);
    return static_cast<int>(msg.wParam);
}

void CAppBase::ShowFrame(int showCommand) {
    ShowWindow(m_frame, showCommand);
    if (m_mdiClient != nullptr) ShowWindow(m_mdiClient, SW_SHOW);
    UpdateWindow(m_frame);
}

int CAppBase::InitInstance(HINSTANCE instance) {
    CAppParameter& config = AppConfig();
    int setting = config.m_languageSetting;
    if (setting == 0 || setting == 1) {
        config.m_language = setting;
    } else {
        config.m_language = 0;
        config.m_language = ChooseLanguage(true);
    }
    if (FindPreviousInstance()) return 0;

    WNDCLASSW frameClass = {};
    frameClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    frameClass.lpfnWndProc = FrameProc;
    frameClass.hInstance = instance;
    frameClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(MapId(IDI_QUILLON)));
    frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    frameClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    frameClass.lpszMenuName = MAKEINTRESOURCEW(config.GetMenuId(config.m_language));
    frameClass.lpszClassName = W(config.m_mainClassName.GetWideOrEmpty());
    if (!RegisterClassW(&frameClass)) return 0;

    CString className;
    className.Assign(config.m_mainClassName);
    m_frame = CreateWindowExW(WS_EX_ACCEPTFILES, W(className.GetWideOrEmpty()), W(config.GetTitle(config.m_language)),
                              WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
    if (m_frame == nullptr) return 0;

    WNDCLASSW childClass = {};
    childClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    childClass.lpfnWndProc = ChildProc;
    childClass.hInstance = instance;
    childClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(MapId(IDI_CHILD)));
    childClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
    childClass.lpszClassName = W(config.m_mdiClientClassName.GetWideOrEmpty());
    if (!RegisterClassW(&childClass)) return 0;

    CLIENTCREATESTRUCT client = {};
    client.hWindowMenu = GetSubMenu(GetMenu(m_frame), config.GetMenuPosition(u"Window"));
    client.idFirstChild = IDM_FIRST_CHILD;
    m_mdiClient = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, m_frame, nullptr,
                                  instance, &client);
    if (m_mdiClient == nullptr) return 0;
    DragAcceptFiles(m_frame, TRUE);
    // A table that cannot be loaded leaves the shortcuts off.
    m_accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(MapId(IDR_ACCELERATORS)));
    Relayout();
    return 1;
}

bool CAppBase::TranslateAccelerators(MSG* msg) {
    if (m_mdiClient == nullptr || msg == nullptr) return false;
    if (TranslateMDISysAccel(m_mdiClient, msg)) return true;
    return m_accelerators != nullptr && TranslateAcceleratorW(m_frame, m_accelerators, msg) != 0;
}

bool CAppBase::IsCommandEnabled(int id) const {
    HMENU menu = m_frame != nullptr ? GetMenu(m_frame) : nullptr;
    UINT state = menu != nullptr ? GetMenuState(menu, static_cast<UINT>(id), MF_BYCOMMAND) : static_cast<UINT>(-1);
    if (state != static_cast<UINT>(-1)) return (state & (MF_GRAYED | MF_DISABLED)) == 0;
    if (m_toolBar != nullptr && m_toolBar->m_window != nullptr) {
        LRESULT button = SendMessageW(m_toolBar->m_window, TB_GETSTATE, static_cast<WPARAM>(id), 0);
        if (button != -1) return (button & TBSTATE_ENABLED) != 0;
    }
    return true;
}

void CAppBase::ExitInstance(HINSTANCE) {}

int CAppBase::FindPreviousInstance() {
    if (m_allowMultipleInstances) return 0;
    CAppParameter& config = AppConfig();
    HWND other = FindWindowW(W(config.m_mainClassName.GetWideOrEmpty()), nullptr);
    if (other == nullptr) return 0;
    if (IsIconic(other)) {
        ShowWindow(other, SW_SHOW);
    } else {
        BringWindowToTop(other);
    }
    return 1;
}

void CAppBase::ProcessCommandLine(const wchar_t*) {}

LRESULT CAppBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_SIZE: {
            RECT r;
            OnSize(&r, LOWORD(lParam), HIWORD(lParam));
            return 0;
        }
        case WM_CLOSE:
            OnClose(window);
            return 0;
        case WM_NOTIFY:
            OnNotify(static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            // Window-list entries (from IDM_FIRST_CHILD) activate their child here.
            if (m_mdiClient != nullptr) return DefFrameProcW(window, m_mdiClient, message, wParam, lParam);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_DROPFILES: {
            wchar_t path[MAX_PATH] = {};
            OnDropFiles(reinterpret_cast<HDROP>(wParam), path, MAX_PATH - 1);
            return 0;
        }
        case UM_CHILD_CLOSED:
            OnChildClosed(reinterpret_cast<HWND>(wParam));
            return 0;
        case WM_DPICHANGED:
            ChangeDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
            return 0;
        default:
            if (m_mdiClient != nullptr) return DefFrameProcW(window, m_mdiClient, message, wParam, lParam);
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

int CAppBase::OnCreate(HWND window, CREATESTRUCTW*) {
    m_frame = window;
    CreateBars(window);
    return 0;
}

void CAppBase::ApplyBarVisibility(HWND bar, int* visible, int switchable, int setting, int menuId) {
    bool show = !switchable || setting != 0;
    CheckMenuItem(GetMenu(m_frame), static_cast<UINT>(menuId), MF_BYCOMMAND | (show ? MF_CHECKED : MF_UNCHECKED));
    if (bar != nullptr) ShowWindow(bar, show ? SW_SHOW : SW_HIDE);
    *visible = show ? 1 : 0;
}

void CAppBase::CreateBars(HWND frame) {
    CAppParameter& config = AppConfig();
    m_dpi = WindowDpi(frame);
    if (m_toolBar != nullptr) {
        m_toolBar->m_dpi = m_dpi;
        m_toolBar->Create(frame);
        ApplyBarVisibility(m_toolBar->m_window, &m_toolBar->m_visible, config.m_toolbarSwitchable,
                           config.m_toolbarVisible, IDM_TOOLBAR);
    }
    if (m_statusBar != nullptr) {
        auto instance = InstanceOf(frame);
        m_statusBar->m_window = CreateWindowExW(WS_EX_TOPMOST, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0,
                                                frame, nullptr, instance, nullptr);
        m_statusBar->SetParts(m_dpi);
        ApplyBarVisibility(m_statusBar->m_window, &m_statusBar->m_visible, config.m_statusbarSwitchable,
                           config.m_statusbarVisible, IDM_STATUSBAR);
    }
}

void CAppBase::OnClose(HWND window) {
    if (CanClose()) DestroyWindow(window);
}

void CAppBase::OnDestroy() { PostQuitMessage(0); }

void CAppBase::OnSize(RECT* r, int width, int height) {
    *r = {0, 0, width, height};
    if (m_toolBar != nullptr && m_toolBar->m_window != nullptr && m_toolBar->m_visible) {
        RECT bar;
        GetWindowRect(m_toolBar->m_window, &bar);
        m_toolBar->Move(RECT{0, 0, width, 24});
        r->top = bar.bottom - bar.top;
    }
    if (m_statusBar != nullptr && m_statusBar->m_window != nullptr && m_statusBar->m_visible) {
        RECT bar;
        GetWindowRect(m_statusBar->m_window, &bar);
        int h = bar.bottom - bar.top;
        MoveWindow(m_statusBar->m_window, 0, height - h, width, h, TRUE);
        r->bottom = height - h;
    }
    if (m_mdiClient != nullptr) MoveWindow(m_mdiClient, r->left, r->top, r->right - r->left, r->bottom - r->top, TRUE);
}

void CAppBase::ChangeDpi(int dpi, const RECT* suggested) {
    if (dpi <= 0 || m_frame == nullptr) return;
    m_dpi = dpi;
    if (m_toolBar != nullptr) m_toolBar->ChangeDpi(dpi);
    if (m_statusBar != nullptr) m_statusBar->SetParts(dpi);
    OnChildrenDpiChanged(dpi);
    if (suggested != nullptr) {
        SetWindowPos(m_frame, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The bars' heights may have changed even when the frame's size did not.
    Relayout();
}

void CAppBase::Relayout() {
    if (m_frame == nullptr) return;
    RECT client, r;
    GetClientRect(m_frame, &client);
    OnSize(&r, client.right, client.bottom);
}

LRESULT CAppBase::OnNotify(int, NMHDR* header) {
    if (header == nullptr || header->code != TTN_GETDISPINFOW || m_toolBar == nullptr) return 0;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    const wchar_t* text = m_toolBar->ToolTipText(static_cast<int>(header->idFrom));
    if (text != nullptr) info->lpszText = const_cast<wchar_t*>(text);
    return 0;
}

void CAppBase::OnCommand(int id, int code) {
    switch (id) {
        case IDCANCEL:  // sent by the system: treated as Exit
        case IDM_EXIT:
            CloseMainWindow();
            break;
        case IDM_TOOLBAR:
            ToggleToolBar();
            break;
        case IDM_STATUSBAR:
            ToggleStatusBar();
            break;
        case IDM_ABOUT:
            ShowAbout();
            break;
        case IDM_HELP:
            ShowHelp();
            break;
        case IDM_LANGUAGE:
            ChooseLanguage(false);
            break;
        case IDM_TILE_HORIZONTAL:
            TileHorizontal();
            break;
        case IDM_TILE_VERTICAL:
            TileVertical();
            break;
        case IDM_CASCADE:
            Cascade();
            break;
        case IDM_CLOSE_ALL:
            CloseAllChildren();
            break;
        default:
            DefWindowProcW(m_frame, WM_COMMAND, MAKEWPARAM(id, code), 0);
            break;
    }
}

int CAppBase::OnDropFiles(HDROP drop, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    DragQueryFileW(drop, 0, buffer, static_cast<UINT>(capacity));
    DragFinish(drop);
    return 1;
}

void CAppBase::OnTimer(UINT_PTR) {}
void CAppBase::OnChildClosed(HWND) {}

void CAppBase::CloseMainWindow() {
    if (m_frame != nullptr) SendMessageW(m_frame, WM_CLOSE, 0, 0);
}

void CAppBase::ShowHelp() {
    CAppParameter& config = AppConfig();
    // The help pages ship in the program's folder.
    char16_t path[MAX_PATH * 2];
    if (FormatString(path, MAX_PATH * 2, u"%s\\%s", config.m_appFolder.GetWideOrEmpty(),
                     config.GetHelpPage(config.m_language)) < 0) {
        return;
    }
    ShellExecuteW(nullptr, L"open", W(path), nullptr, L"", SW_SHOW);
}

void CAppBase::ToggleBar(HWND bar, int* visible, int32_t* setting, int menuId) {
    int v = *visible;
    if (bar != nullptr) {
        CheckMenuItem(GetMenu(m_frame), static_cast<UINT>(menuId), MF_BYCOMMAND | (v ? MF_UNCHECKED : MF_CHECKED));
        ShowWindow(bar, v ? SW_HIDE : SW_SHOW);
        *visible = !v;
    }
    *setting = !v;
    AppConfig().Save();
    Relayout();
}

void CAppBase::ToggleToolBar() {
    CAppParameter& config = AppConfig();
    if (m_toolBar == nullptr || !config.m_toolbarSwitchable) return;
    ToggleBar(m_toolBar->m_window, &m_toolBar->m_visible, &config.m_toolbarVisible, IDM_TOOLBAR);
}

void CAppBase::ToggleStatusBar() {
    CAppParameter& config = AppConfig();
    if (m_statusBar == nullptr || !config.m_statusbarSwitchable) return;
    ToggleBar(m_statusBar->m_window, &m_statusBar->m_visible, &config.m_statusbarVisible, IDM_STATUSBAR);
}

void CAppBase::TileHorizontal() {
    if (m_mdiClient != nullptr) SendMessageW(m_mdiClient, WM_MDITILE, MDITILE_VERTICAL, 0);
}

void CAppBase::TileVertical() {
    if (m_mdiClient != nullptr) SendMessageW(m_mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0);
}

void CAppBase::Cascade() {
    if (m_mdiClient != nullptr) SendMessageW(m_mdiClient, WM_MDICASCADE, 0, 0);
}

void CAppBase::CloseAllChildren() {}

LRESULT CAppBase::MDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefMDIChildProcW(window, message, wParam, lParam);
}

void CAppBase::ActivateChild(HWND window) { SetFocus(window); }

int CAppBase::CanClose() { return 1; }

void CAppBase::CheckCommand(int id, bool checked) {
    HMENU menu = m_frame != nullptr ? GetMenu(m_frame) : nullptr;
    if (menu == nullptr) return;
    CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    if (m_toolBar != nullptr && m_toolBar->m_window != nullptr) {
        SendMessageW(m_toolBar->m_window, TB_SETSTATE, static_cast<WPARAM>(id),
                     checked ? (TBSTATE_ENABLED | TBSTATE_CHECKED) : TBSTATE_ENABLED);
    }
}

void CAppBase::EnableCommand(int id, bool enabled) {
    HMENU menu = m_frame != nullptr ? GetMenu(m_frame) : nullptr;
    if (menu == nullptr) return;
    EnableMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (m_toolBar != nullptr && m_toolBar->m_window != nullptr) {
        SendMessageW(m_toolBar->m_window, TB_ENABLEBUTTON, static_cast<WPARAM>(id), enabled ? TRUE : FALSE);
    }
}

void CAppBase::EnableTopMenu(int position, bool enabled) {
    HMENU menu = m_frame != nullptr ? GetMenu(m_frame) : nullptr;
    if (menu == nullptr) return;
    // A maximised view's window menu stands first on the bar and moves the others along.
    BOOL maximized = FALSE;
    if (m_mdiClient != nullptr) SendMessageW(m_mdiClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
    if (maximized) ++position;
    EnableMenuItem(menu, static_cast<UINT>(position), MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
    DrawMenuBar(m_frame);
    InvalidateRect(m_frame, nullptr, TRUE);
}
