// Where the Dark Theme meets the system: its app mode (for "As Windows") and the frame's
// title bar, which Windows draws dark on request where it offers that.
#pragma once

#include <windows.h>

// Whether the user's app mode is dark: Personalize's AppsUseLightTheme is 0. A missing value
// (older systems, Wine) means light.
bool SystemAppsDark();
// Asks the window manager for a dark (or light) title bar on the frame; silently nothing where
// dwmapi.dll or the attribute is missing.
void UseDarkTitleBar(HWND frame, bool dark);
