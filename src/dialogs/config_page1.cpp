// The interval-check page of the settings sheet.
#include "dialogs/config_page1.h"

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/number_text.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CConfigPage1)

namespace {

constexpr int kFieldCapacity = 32;  // 31 characters and the terminator

}  // namespace

void CConfigPage1::OnInitDialog(HWND window) {
    CAppParameter& config = AppConfig();
    CheckDlgButton(window, IDC_INTERVAL_CHECK, config.m_intervalCheck != 0 ? BST_CHECKED : BST_UNCHECKED);
    char16_t text[kFieldCapacity];
    FormatString(text, kFieldCapacity, u"%d", config.m_intervalTime);
    SetDlgItemTextW(window, IDC_INTERVAL_TIME, W(text));
}

void CConfigPage1::OnApply(HWND window) {
    CAppParameter& config = AppConfig();
    config.m_intervalCheck = IsDlgButtonChecked(window, IDC_INTERVAL_CHECK) == BST_CHECKED ? 1 : 0;
    char16_t text[kFieldCapacity] = {};
    GetDlgItemTextW(window, IDC_INTERVAL_TIME, W(text), kFieldCapacity);
    // Blanks, an optional "-" and digits only; anything else keeps the old time.
    int time = 0;
    if (ParseDecimalField(text, &time, true)) config.m_intervalTime = time;
    config.Save();
    m_applied = 1;
}
