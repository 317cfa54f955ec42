// The Hide Matching Rows dialog.
#include "dialogs/hide_rows_dialog.h"

#include "config/app_parameter.h"
#include "dialogs/condition_fields.h"
#include "dialogs/search_dialogs.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CHideRowsDialog)

void CHideRowsDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    for (int k = 0; k < kHistoryCount; ++k) {
        HWND combo = GetDlgItem(window, IDC_CONDITION_1 + k);
        FillHistory(combo, k);
        const char16_t* text = m_condition != nullptr ? m_condition->WideText(k, nullptr) : nullptr;
        SetWindowTextW(combo, text != nullptr ? W(text) : L"");
    }
    CAppParameter& config = AppConfig();
    CheckDlgButton(window, IDC_MATCH_CASE, config.m_extractMatchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_REGEX, config.m_extractRegex ? BST_CHECKED : BST_UNCHECKED);
}

int CHideRowsDialog::OnOK(HWND window) {
    if (m_condition == nullptr) return 1;
    m_condition->Clear();
    int options = FindOptions(window);
    char16_t texts[kHistoryCount][kConditionTextCapacity];
    for (int k = 0; k < kHistoryCount; ++k) {
        ReadConditionText(window, IDC_CONDITION_1 + k, texts[k]);
        if (texts[k][0] == 0) continue;
        CPatternError error;
        if (!m_condition->Add(texts[k], options | kNot, &error) && error.offset >= 0) {
            m_condition->Clear();
            ShowPatternError(window, IDC_CONDITION_1 + k, error);
            return 0;
        }
    }
    CAppParameter& config = AppConfig();
    int matchCase = (options & kMatchCase) != 0 ? 1 : 0;
    int regex = (options & kRegex) != 0 ? 1 : 0;
    bool changed = config.m_extractMatchCase != matchCase || config.m_extractRegex != regex;
    config.m_extractMatchCase = matchCase;
    config.m_extractRegex = regex;
    for (int k = 0; k < kHistoryCount; ++k) {
        if (texts[k][0] == 0) continue;
        config.AddHistory(k, texts[k]);
        changed = true;
    }
    if (changed) config.Save();
    return 1;
}
