// The About box, the language choice, and the inert CSV and comparison dialogs.
#include "shell/about_dialog.h"

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "shell/command_ids.h"

QUILLON_DIALOG_BINDING(CAboutDialog)
QUILLON_DIALOG_BINDING(CChooseLanguageDialog)
QUILLON_DIALOG_BINDING(CCSVFileDialog)
QUILLON_DIALOG_BINDING(CCompareLogDialog)

void CAboutDialog::OnInitDialog(HWND window) {
    char16_t text[64];
    FormatString(text, 64, u"Version %s", AppConfig().GetVersion());
    SetDlgItemTextW(window, kCtlAboutVersion, W(text));
    SetDlgItemTextW(window, kCtlAboutEdition, L"64bit edition");
}

void CChooseLanguageDialog::OnInitDialog(HWND window) {
    HWND combo = GetDlgItem(window, kCtlLanguageCombo);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    bool japanese = m_labelLanguage == 1;
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(japanese ? L"英語" : L"English"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(japanese ? L"日本語" : L"Japanese"));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(m_selection), 0);
}

int CChooseLanguageDialog::OnOK(HWND window) {
    LRESULT index = SendMessageW(GetDlgItem(window, kCtlLanguageCombo), CB_GETCURSEL, 0, 0);
    if (index != CB_ERR) m_selection = static_cast<int>(index);
    return 1;
}
