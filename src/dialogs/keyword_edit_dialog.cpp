// The keyword edit dialog: shows the preset keyword and reads the edited one back.
#include "dialogs/keyword_edit_dialog.h"

#include <cstdlib>

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CKeywordEditDialog)

namespace {

// What the user can type; a longer text preset from a keyword file is still kept whole.
constexpr int kTypedTextLimit = 255;

}  // namespace

void CKeywordEditDialog::OnInitDialog(HWND window) {
    HWND edit = GetDlgItem(window, IDC_KEYWORD_TEXT);
    SendMessageW(edit, EM_LIMITTEXT, kTypedTextLimit, 0);
    SetWindowTextW(edit, W(m_text.GetWideOrEmpty()));

    CAppParameter* config = &AppConfig();
    bool japanese = config != nullptr && config->m_language == kLanguageJapanese;
    HWND combo = GetDlgItem(window, IDC_KEYWORD_COLOR);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (int k = 0; k < kHighlightColorCount; ++k) {
        char16_t name[32];
        FormatString(name, 32, japanese ? u"強調表示%d" : u"Highlight %d", k + 1);
        LRESULT row = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(name)));
        if (row < 0) continue;
        SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(row), kFirstHighlightColor + k);
        if (m_color == kFirstHighlightColor + k) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(row), 0);
    }
    CheckDlgButton(window, IDC_KEYWORD_BOLD, m_bold != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(window, IDC_KEYWORD_ERROR, m_error != 0 ? BST_CHECKED : BST_UNCHECKED);
}

int CKeywordEditDialog::OnOK(HWND window) {
    HWND edit = GetDlgItem(window, IDC_KEYWORD_TEXT);
    int length = GetWindowTextLengthW(edit);
    if (length < kTypedTextLimit) length = kTypedTextLimit;
    auto* text = static_cast<char16_t*>(std::malloc((static_cast<size_t>(length) + 1) * sizeof(char16_t)));
    if (text != nullptr) {
        text[0] = 0;
        GetWindowTextW(edit, W(text), length + 1);
        m_text.AssignWide(text, -1);
        std::free(text);
    }

    HWND combo = GetDlgItem(window, IDC_KEYWORD_COLOR);
    LRESULT row = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    m_color =
        row == CB_ERR ? 0 : static_cast<int32_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(row), 0));
    m_bold = IsDlgButtonChecked(window, IDC_KEYWORD_BOLD) == BST_CHECKED ? 1 : 0;
    m_error = IsDlgButtonChecked(window, IDC_KEYWORD_ERROR) == BST_CHECKED ? 1 : 0;
    return 1;
}
