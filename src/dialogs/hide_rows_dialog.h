// CHideRowsDialog: View > Hide Matching Rows. Up to five texts, each made a "not" text of
// the condition, so that the extraction it leads to keeps the rows that hold none of them.
#pragma once

#include "dialogs/dialog.h"
#include "search/search_condition.h"

class CHideRowsDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CHideRowsDialog)
    // The fields show the condition's texts; OK puts the fields' texts in it instead, every
    // one with kNot and the extraction dialog's find options (kept with that dialog's).
    void OnInitDialog(HWND window) override;
    int OnOK(HWND window) override;

    CSearchCondition* m_condition = nullptr;
};
