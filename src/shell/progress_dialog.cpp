// CProgressDialog: the loading progress. The worker talks to the controls with
// SendMessageW, which the UI thread's modal loop serves; the window handle the worker
// reads is cleared before the dialog is destroyed, so it never addresses a dead dialog.
#include "shell/progress_dialog.h"

#include <commctrl.h>

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "shell/command_ids.h"

QUILLON_DIALOG_BINDING(CProgressDialog)

void CProgressDialog::OnInitDialog(HWND window) {
    m_window = window;
    SendDlgItemMessageW(window, kCtlProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(window, kCtlProgressBar, PBM_SETPOS, 0, 0);
    m_shown.store(window);
}

void CProgressDialog::Forget() {
    m_shown.store(nullptr);
    m_window = nullptr;
}

int CProgressDialog::OnOK(HWND) {
    Forget();
    return 1;
}

int CProgressDialog::OnCancel(HWND) {
    if (m_cancelFlag != nullptr) m_cancelFlag->store(1);
    Forget();
    return 1;
}

void CProgressDialog::SetProgress(uint64_t position, uint64_t total) {
    HWND window = m_shown.load();
    if (window == nullptr) return;
    uint64_t percent = total != 0 ? position * 100 / total : 0;
    SendDlgItemMessageW(window, kCtlProgressBar, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    CAppParameter* config = GetAppParameter();
    bool japanese = config != nullptr && config->m_language == kLanguageJapanese;
    const char16_t* format =
        japanese ? u"読み込み完了... %lld / %lld bytes (%d%%)" : u"Loading ... %lld / %lld bytes (%d%%)";
    char16_t text[128];
    FormatString(text, 128, format, static_cast<long long>(position), static_cast<long long>(total),
                 static_cast<int>(percent));
    SetDlgItemTextW(window, kCtlProgressText, W(text));
}

INT_PTR CProgressDialog::Run(HWND owner) {
    Forget();
    s_instance = this;
    INT_PTR result = RunModal(kDlgProgress, owner, StaticProc);
    Forget();
    return result;
}

void CProgressDialog::Close() {
    HWND window = m_shown.load();
    if (window == nullptr) return;
    Forget();
    EndDialog(window, 0);
}
