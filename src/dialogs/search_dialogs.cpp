// The search, extraction, jump and marker list dialogs.
#include "dialogs/search_dialogs.h"

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "dialogs/condition_fields.h"
#include "foundation/format.h"
#include "foundation/number_text.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "search/search_condition.h"
#include "winui/dpi.h"
#include "view/log_view.h"
#include "winui/window_instance.h"

QUILLON_DIALOG_BINDING(CSearchLogDialog)
QUILLON_DIALOG_BINDING(CExtractionLogDialog)
QUILLON_DIALOG_BINDING(CJumpDialog)
QUILLON_DIALOG_BINDING(CMarkerListDialog)

void SetSmallIcon(HWND window) {
    auto instance = InstanceOf(window);
    // The icon's image nearest to the scaled caption icon: 16 pixels, or 32 from 150% up.
    int size = ScaleToDpi(16, WindowDpi(window)) >= 24 ? 32 : 16;
    // Shared: the system keeps one copy, so a dialog opened again and again holds no new icon.
    auto icon =
        static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QUILLON), IMAGE_ICON, size, size, LR_SHARED));
    if (icon != nullptr) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

void CSearchLogDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    FillHistory(GetDlgItem(window, IDC_CONDITION_1), 0);
    CAppParameter& config = AppConfig();
    CheckDlgButton(window, IDC_MATCH_CASE, config.m_searchMatchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_REGEX, config.m_searchRegex ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_NOT_1, config.m_searchNot ? BST_CHECKED : BST_UNCHECKED);
}

void CSearchLogDialog::OnCommand(HWND window, int id, int code) {
    if (id != IDC_SEARCH_PREVIOUS && id != IDC_SEARCH_NEXT) {
        CDialog::OnCommand(window, id, code);
        return;
    }
    if (m_condition != nullptr) m_condition->Clear();
    char16_t text[kConditionTextCapacity];
    ReadConditionText(window, IDC_CONDITION_1, text);
    CAppParameter& config = AppConfig();
    int options = FindOptions(window);
    int notText = IsChecked(window, IDC_NOT_1) ? 1 : 0;
    if (text[0] != 0 && m_condition != nullptr) {
        // A pattern that does not compile searches nothing: the dialog stays with the reason.
        CPatternError error;
        if (!m_condition->Add(text, options | (notText ? kNot : 0), &error) && error.offset >= 0) {
            ShowPatternError(window, IDC_CONDITION_1, error);
            return;
        }
    }
    int matchCase = (options & kMatchCase) != 0 ? 1 : 0;
    int regex = (options & kRegex) != 0 ? 1 : 0;
    bool changed =
        config.m_searchMatchCase != matchCase || config.m_searchRegex != regex || config.m_searchNot != notText;
    config.m_searchMatchCase = matchCase;
    config.m_searchRegex = regex;
    config.m_searchNot = notText;
    if (text[0] != 0) {
        config.AddHistory(0, text);
        changed = true;
    }
    if (changed) config.Save();
    m_direction = id == IDC_SEARCH_NEXT ? CSearchDirection::kNext : CSearchDirection::kPrevious;
    EndDialog(window, 1);
}

void CExtractionLogDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    for (int k = 0; k < m_fieldCount; ++k) {
        HWND combo = GetDlgItem(window, IDC_CONDITION_1 + k);
        FillHistory(combo, k);
        int length = 0;
        const char16_t* text = m_condition != nullptr ? m_condition->WideText(k, &length) : nullptr;
        SetWindowTextW(combo, text != nullptr ? W(text) : L"");
        // A field that shows a text of the condition shows its own "Not"; the others as left.
        bool notText = text != nullptr ? m_condition->IsNot(k) : (AppConfig().m_extractNot >> k & 1) != 0;
        CheckDlgButton(window, IDC_NOT_1 + k, notText ? BST_CHECKED : BST_UNCHECKED);
    }
    CheckRadioButton(window, IDC_MATCH_AND, IDC_MATCH_OR, IDC_MATCH_OR);
    CAppParameter& config = AppConfig();
    CheckDlgButton(window, IDC_MATCH_CASE, config.m_extractMatchCase ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_REGEX, config.m_extractRegex ? BST_CHECKED : BST_UNCHECKED);
    char16_t number[32];
    FormatString(number, 32, u"%d", config.m_contextBefore);
    SetDlgItemTextW(window, IDC_LINES_BEFORE, W(number));
    FormatString(number, 32, u"%d", config.m_contextAfter);
    SetDlgItemTextW(window, IDC_LINES_AFTER, W(number));
}

int CExtractionLogDialog::OnOK(HWND window) {
    CAppParameter& config = AppConfig();
    if (m_condition == nullptr) return 1;
    m_condition->Clear();
    m_condition->SetMatchAll(IsDlgButtonChecked(window, IDC_MATCH_AND) == BST_CHECKED ? 1 : 0);
    int options = FindOptions(window);
    // Every pattern must compile before anything is kept: the first that does not keeps the
    // dialog open with the reason.
    char16_t texts[5][kConditionTextCapacity];
    int32_t notBits = 0;
    for (int k = 0; k < m_fieldCount && k < 5; ++k) {
        if (IsChecked(window, IDC_NOT_1 + k)) notBits |= 1 << k;
        ReadConditionText(window, IDC_CONDITION_1 + k, texts[k]);
        if (texts[k][0] == 0) continue;
        CPatternError error;
        if (!m_condition->Add(texts[k], options | ((notBits >> k & 1) != 0 ? kNot : 0), &error) && error.offset >= 0) {
            m_condition->Clear();
            ShowPatternError(window, IDC_CONDITION_1 + k, error);
            return 0;
        }
    }
    int matchCase = (options & kMatchCase) != 0 ? 1 : 0;
    int regex = (options & kRegex) != 0 ? 1 : 0;
    bool changed =
        config.m_extractMatchCase != matchCase || config.m_extractRegex != regex || config.m_extractNot != notBits;
    config.m_extractMatchCase = matchCase;
    config.m_extractRegex = regex;
    config.m_extractNot = notBits;
    for (int k = 0; k < m_fieldCount && k < 5; ++k) {
        if (texts[k][0] == 0) continue;
        config.AddHistory(k, texts[k]);
        changed = true;
    }
    struct Field {
        int id;
        int32_t* value;
    };
    const Field fields[] = {{IDC_LINES_BEFORE, &config.m_contextBefore}, {IDC_LINES_AFTER, &config.m_contextAfter}};
    for (const Field& field : fields) {
        char16_t text[kConditionTextCapacity];
        ReadConditionText(window, field.id, text);
        int value;
        if (ParseDecimalField(text, &value, true) && value != *field.value) {
            *field.value = value;
            changed = true;
        }
    }
    if (changed) config.Save();
    return 1;
}

void CJumpDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    char16_t text[64];
    FormatString(text, 64, UiText(TextId::kJumpRangeFormat), static_cast<long long>(m_lineCount));
    SetDlgItemTextW(window, IDC_JUMP_RANGE, W(text));
    FormatString(text, 64, u"%lld", static_cast<long long>(m_cursorLine + 1));
    SetDlgItemTextW(window, IDC_JUMP_CURSOR, W(text));
    SetDlgItemTextW(window, IDC_JUMP_LINE, L"");
}

int CJumpDialog::OnOK(HWND window) {
    char16_t text[64] = {};
    GetDlgItemTextW(window, IDC_JUMP_LINE, W(text), 64);
    int64_t number;
    // Anything but a number in the shown range closes the dialog without moving.
    bool valid = text[0] != 0 && ParseDecimalField64(text, &number, false) && number >= 1 && number - 1 < m_lineCount;
    m_resultLine = valid ? number - 1 : -1;
    // "name:line" in a merged view: the last colon parts them (a name may hold one).
    int colon = -1;
    for (int i = 0; text[i] != 0; ++i) colon = text[i] == u':' ? i : colon;
    if (!valid && m_lineOfLog && colon > 0 && ParseDecimalField64(text + colon + 1, &number, false) && number >= 1) {
        m_resultLine = m_lineOfLog(text, colon, number - 1);
        valid = m_resultLine >= 0;
    }
    EndDialog(window, valid ? 1 : 0);
    return 0;
}

void CMarkerListDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    FillList(window);
    SendDlgItemMessageW(window, IDC_MARKER_LIST, LB_SETCURSEL, 0, 0);
}

void CMarkerListDialog::FillList(HWND window) {
    HWND list = GetDlgItem(window, IDC_MARKER_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (m_view == nullptr) return;
    CMarkerList& markers = m_view->Markers();
    for (int i = 0; i < markers.Count(); ++i) {
        const CMarker* marker = markers.At(i);
        char16_t text[32];
        FormatString(text, 32, u"%lld", static_cast<long long>(marker->lineNumber.Value() + 1));
        LRESULT item = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
        SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(marker->row.Value()));
    }
}

void CMarkerListDialog::OnCommand(HWND window, int id, int code) {
    HWND list = GetDlgItem(window, IDC_MARKER_LIST);
    LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    LRESULT data = selected == LB_ERR ? -1 : SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(selected), 0);
    switch (id) {
        case IDC_MARKER_JUMP:
            if (data != -1 && data != LB_ERR && m_view != nullptr) m_view->GoToLine(data);
            return;
        case IDC_MARKER_RELEASE: {
            if (m_view == nullptr || data == LB_ERR || !m_view->ToggleMarker(CRow(data))) return;
            FillList(window);
            return;
        }
        case IDC_MARKER_RELEASE_ALL:
            if (m_view == nullptr) return;
            m_view->Markers().Clear();
            m_view->Invalidate();
            FillList(window);
            return;
        default:
            CDialog::OnCommand(window, id, code);
            return;
    }
}
