// CConfigPage1: the settings sheet's interval-check page (check box and interval time).
#pragma once

#include <cstdint>

#include "dialogs/dialog.h"

class CConfigPage1 : public CPropertyPage {
    QUILLON_DIALOG_DECLARE(CConfigPage1)
    void OnInitDialog(HWND window) override;
    // Takes the check box, and the interval time when it is a whole number; saves.
    void OnApply(HWND window) override;

    int32_t m_applied = 0;
};
