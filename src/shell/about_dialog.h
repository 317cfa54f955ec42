// The About box and the language choice dialog.
#pragma once

#include "dialogs/dialog.h"

class CAboutDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CAboutDialog)
    void OnInitDialog(HWND window) override;
};

class CChooseLanguageDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CChooseLanguageDialog)
    void OnInitDialog(HWND window) override;
    int OnOK(HWND window) override;

    int m_labelLanguage = 0;  // 1: entries in Japanese
    int m_selection = 0;      // 0 English, 1 Japanese
};

// The inert CSV output and comparison dialogs: they show their controls and close.
class CCSVFileDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CCSVFileDialog)
};

class CCompareLogDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CCompareLogDialog)
};
