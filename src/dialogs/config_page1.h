// CConfigPage1: the settings sheet's interval-check page (check box and interval time) and
// the time stamps beyond the line start (check box, and the list of the user's patterns, to
// which Add takes the edit box's pattern or shows why it refuses it).
#pragma once

#include <cstdint>

#include "dialogs/dialog.h"

class CConfigPage1 : public CPropertyPage {
    QUILLON_DIALOG_DECLARE(CConfigPage1)
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    // Takes the check boxes, the interval time when it is a whole number, and the pattern
    // list (with the edit box's pattern when it is a good one); saves.
    void OnApply(HWND window) override;
    // Adds the edit box's pattern to the list, or shows why not. 1 when added.
    int AddPattern(HWND window);

    int32_t m_applied = 0;
};
