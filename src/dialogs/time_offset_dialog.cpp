// The Log Time Offset dialog. Each log keeps the minutes typed for it while another is
// picked; OK hands all of them back.
#include "dialogs/time_offset_dialog.h"

#include <commctrl.h>

#include "config/log_state.h"
#include "config/ui_text.h"
#include "dialogs/search_dialogs.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CTimeOffsetDialog)

void CTimeOffsetDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    HWND box = GetDlgItem(window, IDC_TIME_OFFSET_LOG);
    for (const std::u16string& name : m_names)
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name.c_str())));
    // The arrows stand beside the field (the template places them): they step its number.
    SendDlgItemMessageW(window, IDC_TIME_OFFSET_SPIN, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_TIME_OFFSET_MINUTES)), 0);
    SendDlgItemMessageW(window, IDC_TIME_OFFSET_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(-kMaxTimeOffsetMinutes),
                        kMaxTimeOffsetMinutes);
    SendDlgItemMessageW(window, IDC_TIME_OFFSET_MINUTES, EM_LIMITTEXT, 7, 0);
    if (m_log < 0 || m_log >= static_cast<int>(m_names.size())) m_log = 0;
    SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(m_log), 0);
    ShowLog(window, m_log);
}

void CTimeOffsetDialog::ShowLog(HWND window, int log) {
    m_log = log;
    int32_t minutes = log < static_cast<int>(m_offsets.size()) ? m_offsets[static_cast<size_t>(log)] : 0;
    SetDlgItemInt(window, IDC_TIME_OFFSET_MINUTES, static_cast<UINT>(minutes), TRUE);
}

bool CTimeOffsetDialog::TakeMinutes(HWND window) {
    BOOL read = FALSE;
    int minutes = static_cast<int>(GetDlgItemInt(window, IDC_TIME_OFFSET_MINUTES, &read, TRUE));
    if (read && minutes >= -kMaxTimeOffsetMinutes && minutes <= kMaxTimeOffsetMinutes &&
        m_log < static_cast<int>(m_offsets.size())) {
        m_offsets[static_cast<size_t>(m_log)] = minutes;
        return true;
    }
    char16_t message[256];
    FormatString(message, 256, UiText(TextId::kTimeOffsetBadFormat), -kMaxTimeOffsetMinutes, kMaxTimeOffsetMinutes);
    MessageBoxW(window, W(message), W(UiText(TextId::kTimeOffsetCaption)), MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(window, IDC_TIME_OFFSET_MINUTES));
    SendDlgItemMessageW(window, IDC_TIME_OFFSET_MINUTES, EM_SETSEL, 0, -1);
    return false;
}

void CTimeOffsetDialog::OnCommand(HWND window, int id, int code) {
    if (id == IDC_TIME_OFFSET_LOG && code == CBN_SELCHANGE) {
        LRESULT picked = SendDlgItemMessageW(window, IDC_TIME_OFFSET_LOG, CB_GETCURSEL, 0, 0);
        if (picked == CB_ERR || picked == m_log) return;
        // The minutes of the log shown stay with it; minutes that are none keep it shown.
        if (!TakeMinutes(window)) {
            SendDlgItemMessageW(window, IDC_TIME_OFFSET_LOG, CB_SETCURSEL, static_cast<WPARAM>(m_log), 0);
            return;
        }
        ShowLog(window, static_cast<int>(picked));
        return;
    }
    CDialog::OnCommand(window, id, code);
}

int CTimeOffsetDialog::OnOK(HWND window) { return TakeMinutes(window) ? 1 : 0; }
