// CTimeOffsetDialog: the minutes added to each merged log's times (View > Log Time Offset):
// a log picked in a box, its minutes in a field with arrows. Minutes that are no whole number
// within kMaxTimeOffsetMinutes either way are refused with the reason; the dialog stays open.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/dialog.h"

class CTimeOffsetDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CTimeOffsetDialog)
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    int OnOK(HWND window) override;

    std::vector<std::u16string> m_names;  // the logs, as the box shows them
    std::vector<int32_t> m_offsets;       // each log's minutes: given, and changed once the dialog ended with 1
    int m_log = 0;                        // the log shown first, and the one shown last

private:
    // Takes the field's minutes for the log shown; false (after saying why) when they are none.
    bool TakeMinutes(HWND window);
    void ShowLog(HWND window, int log);
};
