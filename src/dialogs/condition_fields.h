// The condition fields that the search, extraction and Hide Matching Rows dialogs share: the
// text histories in their combo boxes, the texts and find options read back, and the reason
// PCRE2 gave for a pattern it refused.
#pragma once

#include <windows.h>

#include "search/search_condition.h"

constexpr int kConditionTextCapacity = 256;  // up to 255 characters are read

// Empties a combo box and lists history list (0..4) in it, most recent first.
void FillHistory(HWND combo, int list);
// The text of control id (at most kConditionTextCapacity units, NUL included).
void ReadConditionText(HWND window, int id, char16_t* text);
bool IsChecked(HWND window, int id);
// kMatchCase and kRegex as the dialog's "Match case" and "Regular expression" boxes say.
int FindOptions(HWND window);
// Puts PCRE2's reason for refusing a pattern under the check boxes, and the caret at it.
void ShowPatternError(HWND window, int comboId, const CPatternError& error);
