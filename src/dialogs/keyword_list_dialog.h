// CKeywordListDialog: lists, adds, modifies and deletes highlight keywords, and loads and
// saves keyword files, all on its own copy of the keyword set. OK puts the copy in force
// (the configuration's set); the opener then saves, rebuilds the flag table and repaints.
#pragma once

#include "keywords/keyword_set.h"
#include "dialogs/dialog.h"

class CKeywordListDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CKeywordListDialog)
    // Clears the dialog's set.
    ~CKeywordListDialog() override;
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    // Copies the dialog's set into the set in force; always accepts.
    int OnOK(HWND window) override;

    // Rebuilds the list from the dialog's set and selects row select (none when out of
    // range). Delete and All Delete are enabled exactly when the list has rows.
    void FillList(int select);

    CKeywordSet& Keywords() { return m_keywords; }

private:
    void AddKeyword();
    void ModifyKeyword();
    void DeleteKeyword();
    void DeleteAllKeywords();
    void LoadKeywordFile();
    void SaveKeywordFile();
    // The first selected row, or -1.
    int SelectedRow() const;

    CKeywordSet m_keywords;
};
