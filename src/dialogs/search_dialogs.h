// The dialogs of search and navigation: search, extraction, jump and marker list.
// Each runs modally over the frame; see CDialog for the binding of class and window.
#pragma once

#include <cstdint>
#include <functional>

#include "dialogs/dialog.h"
#include "search/search_condition.h"

class CLogView;

class CSearchLogDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CSearchLogDialog)
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;

    CSearchCondition* m_condition = nullptr;
    CSearchDirection m_direction = CSearchDirection::kNext;
};

class CExtractionLogDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CExtractionLogDialog)
    void OnInitDialog(HWND window) override;
    int OnOK(HWND window) override;

    CSearchCondition* m_condition = nullptr;
    int m_fieldCount = 5;
};

class CJumpDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CJumpDialog)
    void OnInitDialog(HWND window) override;
    int OnOK(HWND window) override;

    // Rows of the view, 64-bit: a log may have billions.
    int64_t m_lineCount = 0;
    int64_t m_cursorLine = 0;
    int64_t m_resultLine = -1;
    // When set, "name:line" is taken too: the row of that line (from 0) of the log of that
    // name (length units), or -1.
    std::function<int64_t(const char16_t* name, int length, int64_t line)> m_lineOfLog;
};

class CMarkerListDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CMarkerListDialog)
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    void FillList(HWND window);

    CLogView* m_view = nullptr;
};

// Sets a dialog's small icon to the program's icon.
void SetSmallIcon(HWND window);
