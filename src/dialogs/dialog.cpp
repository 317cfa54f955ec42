// Message routing and the default OK/Cancel handling of the dialog framework.
#include "dialogs/dialog.h"

#include <shellapi.h>

#include "config/app_parameter.h"
#include "dialogs/sheet_fit.h"
#include "res/resource.h"
#include "winui/window_instance.h"

INT_PTR CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY:
            OnNotify(window, static_cast<int>(wParam), reinterpret_cast<NMHDR*>(lParam));
            return 1;
        case WM_INITDIALOG:
            m_window = window;
            OnInitDialog(window);
            return 1;
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam), HIWORD(wParam));
            return 1;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam), nullptr, 0);
            return 1;
        default:
            return 0;
    }
}

void CDialog::OnInitDialog(HWND) {}

void CDialog::OnCommand(HWND window, int id, int) {
    if (id == IDOK) {
        if (OnOK(window)) EndDialog(window, 1);
    } else if (id == IDCANCEL) {
        if (OnCancel(window)) EndDialog(window, 0);
    }
}

int CDialog::OnOK(HWND) { return 1; }

int CDialog::OnCancel(HWND) { return 1; }

void CDialog::OnNotify(HWND, int, NMHDR*) {}

int CDialog::OnDropFiles(HDROP drop, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity == 0) return 0;
    DragQueryFileW(drop, 0, buffer, static_cast<UINT>(capacity));
    DragFinish(drop);
    return 1;
}

int CDialog::TemplateId(int japaneseId, int language) {
    if (language == kConfiguredLanguage) language = AppConfig().m_language;
    return language == kLanguageJapanese ? japaneseId : japaneseId + IDD_EN_OFFSET;
}

INT_PTR CDialog::RunModal(int japaneseId, HWND owner, DLGPROC procedure, int language) {
    HINSTANCE instance = InstanceOf(owner);
    return DialogBoxParamW(instance, MAKEINTRESOURCEW(TemplateId(japaneseId, language)), owner, procedure, 0);
}

INT_PTR CPropertyPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(PSN_APPLY)) {
            OnApply(window);
        } else {
            OnNotify(window, static_cast<int>(wParam), header);
        }
        return 1;
    }
    if (message == WM_INITDIALOG) FitSheetToPage(window);
    if (message == WM_INITDIALOG || message == WM_COMMAND || message == WM_DROPFILES) {
        return CDialog::DialogProc(window, message, wParam, lParam);
    }
    return 0;
}

HPROPSHEETPAGE CPropertyPage::Create(HWND parent, int japaneseId, DLGPROC procedure) {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = InstanceOf(parent);
    page.pszTemplate = MAKEINTRESOURCEW(TemplateId(japaneseId));
    page.pfnDlgProc = procedure;
    return CreatePropertySheetPageW(&page);
}
