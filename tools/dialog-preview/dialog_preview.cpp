// dialog_preview: shows one dialog template, frame menu or the toolbar bitmap of the
// program's resources, filled with sample content, so that it can be looked at or
// screenshotted; --check checks all of them instead (see layout_check.h).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "layout_check.h"
#include "preview_content.h"
#include "resource.h"
#include "dialogs/sheet_fit.h"
#include "template_table.h"

namespace {

const char kUsage[] =
    "usage: dialog_preview [--ready] [--seconds N] (TEMPLATE-ID | MENU-ID [POPUP] | toolbar)\n"
    "       dialog_preview --check | --list\n"
    "  --ready      print \"READY left top right bottom\" (screen pixels) once shown\n"
    "  --seconds N  close by itself after N seconds\n";

HINSTANCE g_instance;
HWND g_shown;  // the window that READY describes and that the close timer closes
bool g_ready;
int g_seconds;

BOOL CALLBACK AddPopupMenuRect(HWND window, LPARAM lParam) {
    wchar_t name[16];
    if (IsWindowVisible(window) && GetClassNameW(window, name, 16) && !lstrcmpW(name, L"#32768")) {
        RECT r;
        GetWindowRect(window, &r);
        RECT* all = reinterpret_cast<RECT*>(lParam);
        UnionRect(all, all, &r);
    }
    return TRUE;
}

void CALLBACK ReadyTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    RECT r = {};
    if (g_shown) GetWindowRect(g_shown, &r);
    EnumWindows(AddPopupMenuRect, reinterpret_cast<LPARAM>(&r));  // an open popup menu
    printf("READY %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    fflush(stdout);
}

void CALLBACK CloseTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EndMenu();
    if (g_shown) PostMessageW(g_shown, WM_CLOSE, 0, 0);
}

// Thread timers, so that they also fire inside modal loops (dialogs, sheets, menus).
void StartTimers() {
    if (g_ready) SetTimer(nullptr, 0, 800, ReadyTimer);
    if (g_seconds > 0) SetTimer(nullptr, 0, g_seconds * 1000, CloseTimer);
}

INT_PTR CALLBACK PreviewDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            g_shown = window;
            FillSampleContent(window, static_cast<int>(lParam));
            StartTimers();
            return TRUE;
        case WM_DRAWITEM:
            return DrawSampleColorButton(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                ReleaseSampleContent(window);
                EndDialog(window, LOWORD(wParam));
            }
            return TRUE;
        case WM_CLOSE:
            ReleaseSampleContent(window);
            EndDialog(window, 0);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK PreviewPageProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            FitSheetToPage(window);  // as the program's pages do
            FillSampleContent(window, static_cast<int>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam));
            return TRUE;
        case WM_DRAWITEM:
            return DrawSampleColorButton(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        case WM_DESTROY:
            ReleaseSampleContent(window);
            return FALSE;
        default:
            return FALSE;
    }
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) {
        g_shown = sheet;
        StartTimers();
    }
    return 0;
}

// A page is shown in a sheet like the settings sheet: interval, font and colour pages,
// opened at the requested one. The second setting page is not in that sheet; it is shown
// alone.
int RunSheet(int id) {
    const bool english = IsEnglishTemplate(id);
    const int offset = english ? IDD_EN_OFFSET : 0;
    int ids[3] = {IDD_CONFIG_PAGE1_JA + offset, IDD_CONFIG_FONT_JA + offset, IDD_CONFIG_COLOR_JA + offset};
    int count = 3;
    if (id == IDD_CONFIG_PAGE2_JA + offset) {
        ids[0] = id;
        count = 1;
    }
    PROPSHEETPAGEW pages[3] = {};
    int start = 0;
    for (int i = 0; i < count; ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = g_instance;
        pages[i].pszTemplate = MAKEINTRESOURCEW(ids[i]);
        pages[i].pfnDlgProc = PreviewPageProc;
        pages[i].lParam = ids[i];
        if (ids[i] == id) start = i;
    }
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK;
    header.hInstance = g_instance;
    header.pszCaption = english ? L"Setting" : L"設定";
    header.nPages = count;
    header.nStartPage = start;
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;
    return PropertySheetW(&header) < 0 ? 1 : 0;
}

int g_popup = -1;  // the frame menu to drop down

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_TIMER: {
            KillTimer(window, wParam);
            HMENU menu = GetMenu(window);
            RECT item;
            if (!menu || !GetMenuItemRect(window, menu, g_popup, &item)) break;
            HiliteMenuItem(window, menu, g_popup, MF_BYPOSITION | MF_HILITE);
            StartTimers();
            TrackPopupMenu(GetSubMenu(menu, g_popup), TPM_LEFTALIGN | TPM_TOPALIGN, item.left, item.bottom, 0, window,
                           nullptr);
            HiliteMenuItem(window, menu, g_popup, MF_BYPOSITION | MF_UNHILITE);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateFrame(const wchar_t* title, int width, int height, HMENU menu) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = g_instance;
    wc.hIcon = LoadIconW(g_instance, MAKEINTRESOURCEW(IDI_QUILLON));
    wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    wc.hbrBackground = (HBRUSH)(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = L"QuillonPreviewFrame";
    RegisterClassExW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, width, height, nullptr,
                           menu, g_instance, nullptr);
}

int MessageLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}

int RunMenu(int id, int popup) {
    HMENU menu = LoadMenuW(g_instance, MAKEINTRESOURCEW(id));
    if (!menu) {
        fprintf(stderr, "menu %d not found\n", id);
        return 1;
    }
    wchar_t title[32];
    wsprintfW(title, L"Menu %d", id);
    g_shown = CreateFrame(title, 560, 420, menu);
    if (!g_shown) return 1;
    g_popup = popup;
    if (popup >= 0) {
        SetTimer(g_shown, 1, 300, nullptr);  // drop the menu down once the frame is drawn
    } else {
        StartTimers();
    }
    return MessageLoop();
}

// The toolbar as the frame makes it (24 buttons, three of them hidden), then every image
// as an enabled and as a disabled button.
int RunToolbar() {
    g_shown = CreateFrame(L"Toolbar bitmap 10015", 640, 230, nullptr);
    if (!g_shown) return 1;
    const BYTE kEnabled = TBSTATE_ENABLED;
    const BYTE kHidden = TBSTATE_HIDDEN;
    struct Entry {
        int bitmap;
        int id;
        BYTE state;
        BYTE style;
    };
    const Entry kFrameButtons[24] = {{0, 0, kEnabled, TBSTYLE_SEP},
                                     {0, IDM_OPEN_LOG, kEnabled, TBSTYLE_BUTTON},
                                     {1, IDM_SAVE_CSV, kHidden, TBSTYLE_BUTTON},
                                     {0, 0, kEnabled, TBSTYLE_SEP},
                                     {2, IDM_COPY, kEnabled, TBSTYLE_BUTTON},
                                     {0, 0, kEnabled, TBSTYLE_SEP},
                                     {3, IDM_SEARCH, kEnabled, TBSTYLE_BUTTON},
                                     {4, IDM_SEARCH_PREVIOUS, kEnabled, TBSTYLE_BUTTON},
                                     {5, IDM_SEARCH_NEXT, kEnabled, TBSTYLE_BUTTON},
                                     {6, IDM_HIGHLIGHT_SEARCH, kEnabled, TBSTYLE_CHECK},
                                     {0, 0, kEnabled, TBSTYLE_SEP},
                                     {7, IDM_EXTRACTION, kEnabled, TBSTYLE_BUTTON},
                                     {8, IDM_COMPARE, kHidden, TBSTYLE_BUTTON},
                                     {0, 0, kEnabled, TBSTYLE_SEP},
                                     {9, IDM_JUMP, kEnabled, TBSTYLE_BUTTON},
                                     {10, IDM_JUMP_TOP, kEnabled, TBSTYLE_BUTTON},
                                     {11, IDM_JUMP_END, kEnabled, TBSTYLE_BUTTON},
                                     {0, 0, kEnabled, TBSTYLE_SEP},
                                     {12, IDM_MARKER_LIST, kEnabled, TBSTYLE_BUTTON},
                                     {13, IDM_MARKER_PREVIOUS, kEnabled, TBSTYLE_BUTTON},
                                     {14, IDM_MARKER_NEXT, kEnabled, TBSTYLE_BUTTON},
                                     {0, 0, kEnabled, TBSTYLE_SEP},
                                     {15, IDM_HELP, kEnabled, TBSTYLE_BUTTON},
                                     {16, IDM_PRINT, kHidden, TBSTYLE_BUTTON}};
    TBBUTTON frame[24] = {};
    for (int i = 0; i < 24; ++i) {
        frame[i].iBitmap = kFrameButtons[i].bitmap;
        frame[i].idCommand = kFrameButtons[i].id;
        frame[i].fsState = kFrameButtons[i].state;
        frame[i].fsStyle = kFrameButtons[i].style;
    }
    CreateToolbarEx(g_shown, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, 24, g_instance,
                    IDB_TOOLBAR, frame, 24, 0, 0, 16, 16, sizeof(TBBUTTON));

    TBBUTTON all[18] = {};
    for (int i = 0; i < 18; ++i) {
        all[i].iBitmap = i;
        all[i].idCommand = 100 + i;
        all[i].fsState = TBSTATE_ENABLED;
        all[i].fsStyle = TBSTYLE_BUTTON;
    }
    const wchar_t* labels[2] = {L"All 18 images:", L"Disabled:"};
    for (int row = 0; row < 2; ++row) {
        const int y = 50 + row * 70;
        CreateWindowExW(0, L"STATIC", labels[row], WS_CHILD | WS_VISIBLE, 8, y, 300, 18, g_shown, nullptr, g_instance,
                        nullptr);
        if (row == 1) {
            for (auto& b : all) b.fsState = 0;
        }
        HWND bar = CreateToolbarEx(g_shown,
                                   WS_CHILD | WS_VISIBLE | WS_BORDER | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER,
                                   200 + row, 18, g_instance, IDB_TOOLBAR, all, 18, 0, 0, 16, 15, sizeof(TBBUTTON));
        MoveWindow(bar, 8, y + 20, 600, 30, TRUE);
    }
    StartTimers();
    return MessageLoop();
}

void ListTargets() {
    for (int i = 0; i < kTemplateCount; ++i) {
        printf("%d %s\n", kTemplates[i].id, kTemplates[i].name);
        printf("%d %s\n", kTemplates[i].id + IDD_EN_OFFSET, kTemplates[i].name);
    }
    for (int popup = 0; popup < 4; ++popup) {
        printf("%d %d menu\n", IDR_MENU_JA, popup);
        printf("%d %d menu\n", IDR_MENU_EN, popup);
    }
    printf("toolbar\n");
}

}  // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    g_instance = GetModuleHandleW(nullptr);

    int target = 0;
    int popup = -1;
    bool toolbar = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (!strcmp(a, "--check")) return RunLayoutCheck(g_instance) ? 1 : 0;
        if (!strcmp(a, "--list")) {
            ListTargets();
            return 0;
        }
        if (!strcmp(a, "--ready")) {
            g_ready = true;
        } else if (!strcmp(a, "--seconds") && i + 1 < argc) {
            g_seconds = atoi(argv[++i]);
        } else if (!strcmp(a, "toolbar")) {
            toolbar = true;
        } else if (a[0] >= '0' && a[0] <= '9' && !target) {
            target = atoi(a);
        } else if (a[0] >= '0' && a[0] <= '9') {
            popup = atoi(a);
        } else {
            fputs(kUsage, stderr);
            return 2;
        }
    }
    if (toolbar) return RunToolbar();
    if (target == IDR_MENU_JA || target == IDR_MENU_EN) return RunMenu(target, popup);
    const TemplateInfo* info = target ? FindTemplate(target) : nullptr;
    if (!info) {
        fputs(kUsage, stderr);
        return 2;
    }
    if (info->page) return RunSheet(target);
    return DialogBoxParamW(g_instance, MAKEINTRESOURCEW(target), nullptr, PreviewDialogProc, target) < 0 ? 1 : 0;
}
