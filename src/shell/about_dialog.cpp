// The About box, the language choice, and the inert CSV and comparison dialogs.
#include "shell/about_dialog.h"

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CAboutDialog)
QUILLON_DIALOG_BINDING(CChooseLanguageDialog)
QUILLON_DIALOG_BINDING(CCSVFileDialog)
QUILLON_DIALOG_BINDING(CCompareLogDialog)

void CAboutDialog::OnInitDialog(HWND window) {
    char16_t text[64];
    FormatString(text, 64, u"Version %s", AppConfig().GetVersion());
    SetDlgItemTextW(window, IDC_ABOUT_VERSION, W(text));
    SetDlgItemTextW(window, IDC_ABOUT_EDITION, L"64bit edition");
}

void CChooseLanguageDialog::OnInitDialog(HWND window) {
    HWND combo = GetDlgItem(window, IDC_LANGUAGE_COMBO);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const char16_t* names[2] = {UiText(TextId::kLanguageNameEnglish, m_labelLanguage),
                                UiText(TextId::kLanguageNameJapanese, m_labelLanguage)};
    for (const char16_t* name : names) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(m_selection), 0);
}

int CChooseLanguageDialog::OnOK(HWND window) {
    LRESULT index = SendMessageW(GetDlgItem(window, IDC_LANGUAGE_COMBO), CB_GETCURSEL, 0, 0);
    if (index != CB_ERR) m_selection = static_cast<int>(index);
    return 1;
}
