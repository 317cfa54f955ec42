// CConfigPage2: an empty second settings page ("Setting 2"), kept out of the sheet.
#pragma once

#include <cstdint>

#include "dialogs/dialog.h"

class CConfigPage2 : public CPropertyPage {
    QUILLON_DIALOG_DECLARE(CConfigPage2)
    void OnApply(HWND window) override;

    int32_t m_applied = 0;
};
