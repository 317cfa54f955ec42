// The shared condition fields of the search dialogs.
#include "dialogs/condition_fields.h"

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"

void FillHistory(HWND combo, int list) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    SetWindowTextW(combo, L"");
    CTextHistory& history = AppConfig().History(list);
    for (int i = 0; i < history.count && history.entries != nullptr; ++i) {
        if (history.entries[i] == nullptr) continue;
        LRESULT index =
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(history.entries[i]->GetWideOrEmpty())));
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), 0);
    }
    if (history.count > 0) SendMessageW(combo, CB_SETCURSEL, 0, 0);
}

void ReadConditionText(HWND window, int id, char16_t* text) {
    text[0] = 0;
    GetDlgItemTextW(window, id, W(text), kConditionTextCapacity);
}

bool IsChecked(HWND window, int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

int FindOptions(HWND window) {
    return (IsChecked(window, IDC_MATCH_CASE) ? kMatchCase : 0) | (IsChecked(window, IDC_REGEX) ? kRegex : 0);
}

void ShowPatternError(HWND window, int comboId, const CPatternError& error) {
    char16_t text[400];
    FormatString(text, 400, UiText(TextId::kPatternErrorFormat), error.offset + 1, error.message);
    SetDlgItemTextW(window, IDC_PATTERN_ERROR, W(text));
    HWND combo = GetDlgItem(window, comboId);
    SetFocus(combo);
    SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(error.offset, error.offset));
}
