// The File menu's recent logs: the list of the settings shown as items IDM_RECENT_1... before
// Exit, a log noted when it opens, and a chosen one opened (or, when it is gone, said so and
// dropped). UI thread only.
#pragma once

#include <windows.h>

#include <string>

class CAppMain;

// The absolute form of path (as given when the system cannot say).
std::u16string FullLogPath(const wchar_t* path);
// Rebuilds the recent items of the frame's File menu from the settings.
void ShowRecentLogs(HWND frame);
// Puts path first in the list, saves the settings and rebuilds the menu.
void NoteRecentLog(HWND frame, const wchar_t* path);
// The command of a recent item (IDM_RECENT_1...).
void OpenRecentLog(CAppMain& app, int id);
