// CKeywordEditDialog: one highlight keyword's text, colour (entries 6..13), bold and
// error flags. The opener presets the four fields and reads them back after OK.
#pragma once

#include <cstdint>

#include "foundation/string.h"
#include "dialogs/dialog.h"

// The highlight colours are the colour-table entries 6..13 ("Highlight 1".."Highlight 8").
constexpr int kFirstHighlightColor = 6;
constexpr int kHighlightColorCount = 8;

class CKeywordEditDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CKeywordEditDialog)
    ~CKeywordEditDialog() override {}
    void OnInitDialog(HWND window) override;
    // Stores the controls' values (the colour 0 when none is chosen); always accepts.
    int OnOK(HWND window) override;

    CString m_text;
    int32_t m_color = kFirstHighlightColor;
    int32_t m_bold = 0;
    int32_t m_error = 0;
};
