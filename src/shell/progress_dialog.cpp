// CProgressDialog: the progress of a load or a scan, in the language of the interface.
#include "shell/progress_dialog.h"

#include <commctrl.h>

#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CProgressDialog)

namespace {

// The caption of a scan's dialog (a load keeps the template's).
const char16_t* Caption(CScanKind kind) {
    switch (kind) {
        case CScanKind::kSearch:
            return UiText(TextId::kProgressSearchCaption);
        case CScanKind::kExtract:
            return UiText(TextId::kProgressExtractCaption);
        case CScanKind::kErrorLog:
            return UiText(TextId::kProgressErrorLogCaption);
        case CScanKind::kCopy:
            return UiText(TextId::kProgressCopyCaption);
        case CScanKind::kSave:
            return UiText(TextId::kProgressSaveCaption);
        case CScanKind::kTimeline:
            return UiText(TextId::kProgressTimelineCaption);
        case CScanKind::kNavigate:
            return UiText(TextId::kProgressNavigateCaption);
        case CScanKind::kMerge:
            return UiText(TextId::kProgressMergeCaption);
        case CScanKind::kLoad:
        case CScanKind::kPackedLoad:
        case CScanKind::kFollow:
            break;
    }
    return nullptr;
}

const char16_t* TextFormat(CScanKind kind) {
    switch (kind) {
        case CScanKind::kSearch:
            return UiText(TextId::kProgressSearchFormat);
        case CScanKind::kExtract:
            return UiText(TextId::kProgressExtractFormat);
        case CScanKind::kErrorLog:
        case CScanKind::kCopy:
            return UiText(TextId::kProgressCopyFormat);
        case CScanKind::kSave:
            return UiText(TextId::kProgressSaveFormat);
        case CScanKind::kTimeline:
        case CScanKind::kNavigate:
            return UiText(TextId::kProgressTimelineFormat);
        case CScanKind::kMerge:
            return UiText(TextId::kProgressMergeFormat);
        case CScanKind::kPackedLoad:
            return UiText(TextId::kProgressPackedLoadFormat);
        case CScanKind::kLoad:
        case CScanKind::kFollow:
            break;
    }
    return UiText(TextId::kProgressLoadFormat);
}

}  // namespace

void CProgressDialog::OnInitDialog(HWND window) {
    m_window = window;
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, 0, 0);
    const char16_t* caption = Caption(m_kind);
    if (caption != nullptr) SetWindowTextW(window, W(caption));
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
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
    const char16_t* format = TextFormat(m_kind);
    char16_t text[128];
    FormatString(text, 128, format, static_cast<long long>(position), static_cast<long long>(total),
                 static_cast<int>(percent));
    SetDlgItemTextW(window, IDC_PROGRESS_TEXT, W(text));
}

INT_PTR CProgressDialog::Run(HWND owner) {
    Forget();
    s_instance = this;
    INT_PTR result = RunModal(IDD_PROGRESS_JA, owner, StaticProc);
    Forget();
    return result;
}

void CProgressDialog::Close() {
    HWND window = m_shown.load();
    if (window == nullptr) return;
    Forget();
    EndDialog(window, 0);
}
