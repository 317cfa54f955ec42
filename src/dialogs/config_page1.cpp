// The interval-check and time-stamp page of the settings sheet.
#include "dialogs/config_page1.h"

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "stamps/stamp_pattern.h"
#include "foundation/format.h"
#include "foundation/number_text.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CConfigPage1)

namespace {

constexpr int kFieldCapacity = 32;  // 31 characters and the terminator
constexpr int kPatternCapacity = kStampPatternMaxText + 1;

const TextId kPatternReasons[] = {
    TextId::kStampPatternEmpty,           TextId::kStampPatternTooLong,
    TextId::kStampPatternBadPlace,        TextId::kStampPatternUnknownConversion,
    TextId::kStampPatternTrailingPercent, TextId::kStampPatternRepeated,
    TextId::kStampPatternNoTime,          TextId::kStampPatternIncompleteDate,
};

const char16_t* ReasonText(StampPatternError error) {
    int k = static_cast<int>(error) - static_cast<int>(StampPatternError::kEmpty);
    return k >= 0 && k < static_cast<int>(sizeof kPatternReasons / sizeof kPatternReasons[0])
               ? UiText(kPatternReasons[k])
               : u"";
}

// The list's patterns, in UTF-8.
int ReadPatternList(HWND list, CString* texts, int capacity) {
    int count = 0;
    LRESULT rows = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < rows && count < capacity; ++row) {
        if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0) >= kPatternCapacity) continue;
        wchar_t text[kPatternCapacity] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
        texts[count++].AssignWide(U(text), -1);
    }
    return count;
}

}  // namespace

void CConfigPage1::OnInitDialog(HWND window) {
    CAppParameter& config = AppConfig();
    CheckDlgButton(window, IDC_INTERVAL_CHECK, config.m_intervalCheck != 0 ? BST_CHECKED : BST_UNCHECKED);
    char16_t text[kFieldCapacity];
    FormatString(text, kFieldCapacity, u"%d", config.m_intervalTime);
    SetDlgItemTextW(window, IDC_INTERVAL_TIME, W(text));
    CheckDlgButton(window, IDC_STAMP_FORMS, config.m_stampForms != 0 ? BST_CHECKED : BST_UNCHECKED);
    HWND list = GetDlgItem(window, IDC_STAMP_PATTERN_LIST);
    for (int k = 0; k < config.m_stampPatternCount; ++k) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(config.m_stampPatterns[k].GetWideOrEmpty())));
    }
    SendDlgItemMessageW(window, IDC_STAMP_PATTERN_TEXT, EM_LIMITTEXT, kStampPatternMaxText, 0);
}

void CConfigPage1::OnCommand(HWND window, int id, int code) {
    if (id == IDC_STAMP_PATTERN_ADD && code == BN_CLICKED) {
        AddPattern(window);
    } else if (id == IDC_STAMP_FORMS_LIST && code == BN_CLICKED) {
        MessageBoxW(window, W(UiText(TextId::kStampFormsList)), W(UiText(TextId::kStampFormsCaption)),
                    MB_OK | MB_ICONINFORMATION);
    } else if (id == IDC_STAMP_PATTERN_DELETE && code == BN_CLICKED) {
        HWND list = GetDlgItem(window, IDC_STAMP_PATTERN_LIST);
        LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (row >= 0) SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    } else {
        CPropertyPage::OnCommand(window, id, code);
    }
}

int CConfigPage1::AddPattern(HWND window) {
    wchar_t text[kPatternCapacity] = {};
    GetDlgItemTextW(window, IDC_STAMP_PATTERN_TEXT, text, kPatternCapacity);
    CString utf8;
    utf8.AssignWide(U(text), -1);
    CStampPattern pattern;
    StampPatternError error = StampPatternError::kNone;
    HWND list = GetDlgItem(window, IDC_STAMP_PATTERN_LIST);
    const char16_t* reason = nullptr;
    if (!pattern.Compile(utf8.Data(), &error)) {
        reason = ReasonText(error);
    } else if (SendMessageW(list, LB_GETCOUNT, 0, 0) >= kMaxStampPatterns) {
        reason = UiText(TextId::kStampPatternListFull);
    }
    SetDlgItemTextW(window, IDC_STAMP_PATTERN_REASON, reason != nullptr ? W(reason) : L"");
    if (reason != nullptr) return 0;
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SetDlgItemTextW(window, IDC_STAMP_PATTERN_TEXT, L"");
    return 1;
}

void CConfigPage1::OnApply(HWND window) {
    CAppParameter& config = AppConfig();
    config.m_intervalCheck = IsDlgButtonChecked(window, IDC_INTERVAL_CHECK) == BST_CHECKED ? 1 : 0;
    char16_t text[kFieldCapacity] = {};
    GetDlgItemTextW(window, IDC_INTERVAL_TIME, W(text), kFieldCapacity);
    // Blanks, an optional "-" and digits only; anything else keeps the old time.
    int time = 0;
    if (ParseDecimalField(text, &time, true)) config.m_intervalTime = time;
    config.m_stampForms = IsDlgButtonChecked(window, IDC_STAMP_FORMS) == BST_CHECKED ? 1 : 0;
    // A pattern typed but not added yet is taken when it is a good one.
    if (GetWindowTextLengthW(GetDlgItem(window, IDC_STAMP_PATTERN_TEXT)) > 0) AddPattern(window);
    CString patterns[kMaxStampPatterns];
    int count = ReadPatternList(GetDlgItem(window, IDC_STAMP_PATTERN_LIST), patterns, kMaxStampPatterns);
    const char* texts[kMaxStampPatterns] = {};
    for (int k = 0; k < count; ++k) texts[k] = patterns[k].Data();
    config.SetStampPatterns(texts, count);
    config.Save();
    m_applied = 1;
}
