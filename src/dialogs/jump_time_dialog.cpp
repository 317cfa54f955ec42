// The Jump to Time dialog.
#include "dialogs/jump_time_dialog.h"

#include "config/ui_text.h"
#include "dialogs/search_dialogs.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CJumpTimeDialog)

namespace {

// The typed text as ASCII for the parser; false when it holds anything else.
bool ToAscii(const char16_t* text, char* out, int capacity, int* length) {
    int n = 0;
    for (; text[n] != 0; ++n) {
        if (text[n] > 0x7e || n + 1 >= capacity) return false;
        out[n] = static_cast<char>(text[n]);
    }
    out[n] = 0;
    *length = n;
    return true;
}

}  // namespace

void CJumpTimeDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    SetDlgItemTextW(window, IDC_JUMP_TIME_RANGE, W(m_range));
    SendDlgItemMessageW(window, IDC_JUMP_TIME_TEXT, EM_LIMITTEXT, 63, 0);
    SetDlgItemTextW(window, IDC_JUMP_TIME_TEXT, W(m_text));
}

int CJumpTimeDialog::OnOK(HWND window) {
    GetDlgItemTextW(window, IDC_JUMP_TIME_TEXT, W(m_text), 64);
    char ascii[64];
    int length = 0;
    if (ToAscii(m_text, ascii, 64, &length) && ParseTimeQuery(ascii, static_cast<size_t>(length), &m_query)) return 1;
    char16_t message[512];
    FormatString(message, 512, UiText(TextId::kJumpTimeBadFormat), m_text);
    MessageBoxW(window, W(message), W(UiText(TextId::kJumpTimeCaption)), MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(window, IDC_JUMP_TIME_TEXT));
    SendDlgItemMessageW(window, IDC_JUMP_TIME_TEXT, EM_SETSEL, 0, -1);
    return 0;
}
