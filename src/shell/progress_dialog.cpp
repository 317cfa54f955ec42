// CProgressDialog: the progress of a load or a scan, in the language of the interface.
#include "shell/progress_dialog.h"

#include <commctrl.h>

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "shell/command_ids.h"

QUILLON_DIALOG_BINDING(CProgressDialog)

namespace {

bool Japanese() {
    CAppParameter* config = &AppConfig();
    return config != nullptr && config->m_language == kLanguageJapanese;
}

// The caption of a scan's dialog (a load keeps the template's).
const wchar_t* Caption(CScanKind kind, bool japanese) {
    switch (kind) {
        case CScanKind::kSearch: return japanese ? L"検索" : L"Search";
        case CScanKind::kExtract: return japanese ? L"ログを抽出" : L"Extraction";
        case CScanKind::kErrorLog: return japanese ? L"エラーログ" : L"Error Log";
        case CScanKind::kCopy: return japanese ? L"コピー" : L"Copy";
        case CScanKind::kLoad:
        case CScanKind::kFollow: break;
    }
    return nullptr;
}

const char16_t* TextFormat(CScanKind kind, bool japanese) {
    switch (kind) {
        case CScanKind::kSearch: return japanese ? u"検索中... %lld / %lld 行 (%d%%)" : u"Searching ... %lld / %lld rows (%d%%)";
        case CScanKind::kExtract:
            return japanese ? u"抽出中... %lld / %lld 行 (%d%%)" : u"Extracting ... %lld / %lld rows (%d%%)";
        case CScanKind::kErrorLog:
        case CScanKind::kCopy: return japanese ? u"コピー中... %lld / %lld 行 (%d%%)" : u"Copying ... %lld / %lld rows (%d%%)";
        case CScanKind::kLoad:
        case CScanKind::kFollow: break;
    }
    return japanese ? u"読み込み完了... %lld / %lld bytes (%d%%)" : u"Loading ... %lld / %lld bytes (%d%%)";
}

}  // namespace

void CProgressDialog::OnInitDialog(HWND window) {
    m_window = window;
    SendDlgItemMessageW(window, kCtlProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(window, kCtlProgressBar, PBM_SETPOS, 0, 0);
    const wchar_t* caption = Caption(m_kind, Japanese());
    if (caption != nullptr) SetWindowTextW(window, caption);
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
    const char16_t* format = TextFormat(m_kind, Japanese());
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
