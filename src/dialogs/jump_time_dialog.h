// CJumpTimeDialog: asks for a time to go to ("hh:mm:ss[.mmm]" or "yyyy-mm-dd hh:mm:ss[.mmm]"),
// showing the log's time range. A text that is no such time is refused with the reason and
// the dialog stays open.
#pragma once

#include <windows.h>

#include "dialogs/dialog.h"
#include "stamps/stamp_clock.h"

class CJumpTimeDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CJumpTimeDialog)
    void OnInitDialog(HWND window) override;
    int OnOK(HWND window) override;

    const char16_t* m_range = u"";  // shown as it is; borrowed
    CTimeQuery m_query;             // the time, once the dialog ended with 1
    char16_t m_text[64] = {};       // the text typed, for the caller's messages
};
