// The system's app mode from the registry, and the title bar through dwmapi.dll, loaded when
// asked for so that a system (or Wine) without it still starts.
#include "shell/dark_mode.h"

namespace {

// DWMWA_USE_IMMERSIVE_DARK_MODE: newer SDK headers than ours name it.
constexpr DWORD kImmersiveDarkMode = 20;

using SetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

}  // namespace

bool SystemAppsDark() {
    DWORD value = 1;
    DWORD size = sizeof value;
    LSTATUS status =
        RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
                     L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS && value == 0;
}

void UseDarkTitleBar(HWND frame, bool dark) {
    if (frame == nullptr) return;
    HMODULE dwm = LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (dwm == nullptr) return;
    auto set =
        reinterpret_cast<SetWindowAttributeFn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmSetWindowAttribute")));
    BOOL value = dark ? TRUE : FALSE;
    // Systems before the attribute refuse it: the bar stays as the system draws it.
    if (set != nullptr && SUCCEEDED(set(frame, kImmersiveDarkMode, &value, sizeof value))) {
        // The bar is drawn again only when the frame's non-client area is.
        SetWindowPos(frame, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    FreeLibrary(dwm);
}
