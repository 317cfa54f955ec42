// The module a window belongs to: where its child windows, dialogs and resources come from.
#pragma once

#include <windows.h>

// The instance that made window; the program's own for no window.
inline HINSTANCE InstanceOf(HWND window) {
    return window != nullptr ? reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE))
                             : GetModuleHandleW(nullptr);
}
