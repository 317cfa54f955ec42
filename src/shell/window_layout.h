// The window layout kept in the settings: the frame's position, size and maximised state,
// brought back at start-up (on a visible monitor when the screens changed), and whether new
// log views open maximised. UI thread only.
#pragma once

#include <windows.h>

// The frame's show command at start-up: maximised when it was left so and the system asks
// for nothing in particular.
int FrameShowCommand(int showCommand);
// Puts the hidden frame where it was left (nothing when no layout was kept).
void RestoreFrameLayout(HWND frame);
// rect (screen pixels) moved and shrunk into the work area of the nearest monitor when no
// monitor shows any of it; otherwise unchanged.
RECT KeepOnScreen(const RECT& rect);
// Notes the frame's layout and the active view's maximised state, and saves them.
void KeepWindowLayout(HWND frame, HWND mdiClient);
// Notes whether the active view is maximised (when there is one), and saves it.
void KeepViewLayout(HWND mdiClient);
// The style a new log view is created with: maximised when the last view was left so and no
// other view decides it.
DWORD NewViewStyle(HWND mdiClient);
