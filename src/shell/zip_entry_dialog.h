// CZipEntryDialog: the choice of the file to open among the files of a zip archive, listed
// with their sizes.
#pragma once

#include <windows.h>

#include "dialogs/dialog.h"

class CZipDirectory;

class CZipEntryDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CZipEntryDialog)
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    int OnOK(HWND window) override;

    const CZipDirectory* m_directory = nullptr;  // borrowed while the dialog runs
    int m_choice = 0;                            // the entry chosen, once the dialog ended with 1
};
