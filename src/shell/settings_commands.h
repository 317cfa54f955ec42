// The settings commands: the keyword list and the settings sheet.
#pragma once

#include <cstdint>

class CAppMain;

// Keyword Settings: on OK the set is put in force, saved and every view repainted.
void EditKeywords(CAppMain& app);
// Settings: the sheet; every view takes the settings and is repainted afterwards.
void EditSettings(CAppMain& app);
// An on/off setting of the View menu turned over, saved, and its menu item checked to match.
void FlipSetting(CAppMain& app, int32_t* setting, int command);
// View > Overview: shows or hides the strip of every view, and keeps the choice.
void ToggleOverview(CAppMain& app);
// View > Wrap Long Lines: wraps or unwraps the rows of every view, and keeps the choice.
void ToggleWrapLines(CAppMain& app);
// View > Dark Theme: keeps the choice (kDarkThemeOff, kDarkThemeOn or kDarkThemeSystem) and
// puts it in force in every view and the frame's title bar.
void ChooseDarkTheme(CAppMain& app, int choice);
