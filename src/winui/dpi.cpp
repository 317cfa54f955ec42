// WindowDpi: GetDpiForWindow where user32 has it (looked up at run time, since older
// Windows lacks it), else the screen's LOGPIXELSY.
#include "winui/dpi.h"

namespace {

int g_override = 0;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn DpiForWindowFunction() {
    static GetDpiForWindowFn function = nullptr;
    static bool looked = false;
    if (!looked) {
        looked = true;
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (user32 != nullptr) {
            function =
                reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
        }
    }
    return function;
}

}  // namespace

int WindowDpi(HWND window) {
    if (g_override > 0) return g_override;
    GetDpiForWindowFn forWindow = DpiForWindowFunction();
    if (forWindow != nullptr && window != nullptr) {
        UINT dpi = forWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDefaultDpi;
}

void SetDpiOverride(int dpi) { g_override = dpi > 0 ? dpi : 0; }
