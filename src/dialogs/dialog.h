// The modal dialog framework: CDialog, CPropertyPage and CPropertySheet.
// Each dialog class has one static procedure and one process-wide instance pointer,
// set by the opener before DialogBoxParamW. Template ids: English = Japanese + IDD_EN_OFFSET.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

class CDialog {
public:
    virtual ~CDialog() {}
    virtual INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnInitDialog(HWND window);
    virtual void OnCommand(HWND window, int id, int code);
    virtual int OnOK(HWND window);
    virtual int OnCancel(HWND window);
    virtual void OnNotify(HWND window, int controlId, NMHDR* header);
    virtual int OnDropFiles(HDROP drop, wchar_t* buffer, int capacity);

    HWND Window() const { return m_window; }

    // The language the settings name, for the calls below.
    static constexpr int kConfiguredLanguage = -1;
    // The template in language (kLanguageJapanese or not): the Japanese id, or the English
    // one IDD_EN_OFFSET above it.
    static int TemplateId(int japaneseId, int language = kConfiguredLanguage);
    // Runs a dialog modally over owner (null: no owner) and returns its result.
    static INT_PTR RunModal(int japaneseId, HWND owner, DLGPROC procedure, int language = kConfiguredLanguage);

protected:
    HWND m_window = nullptr;
};

class CPropertyPage : public CDialog {
public:
    virtual void OnApply(HWND window) { (void)window; }
    INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Makes the sheet page of template id (by language) with the class's page procedure.
    HPROPSHEETPAGE Create(HWND parent, int japaneseId, DLGPROC procedure);
};

class CPropertySheet {
public:
    virtual ~CPropertySheet() {}
};

// Runs a dialog object of a bound class modally, its instance pointer set around the call.
template <typename Dialog>
INT_PTR RunDialog(Dialog& dialog, int japaneseId, HWND owner, int language = CDialog::kConfiguredLanguage) {
    Dialog::s_instance = &dialog;
    INT_PTR result = CDialog::RunModal(japaneseId, owner, Dialog::StaticProc, language);
    Dialog::s_instance = nullptr;
    return result;
}

// Defines the instance pointer and static procedure of one dialog class.
#define QUILLON_DIALOG_BINDING(Class)                                            \
    Class* Class::s_instance = nullptr;                                          \
    INT_PTR CALLBACK Class::StaticProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {   \
        return s_instance != nullptr ? s_instance->DialogProc(w, m, wp, lp) : 0; \
    }

#define QUILLON_DIALOG_DECLARE(Class) \
public:                               \
    static Class* s_instance;         \
    static INT_PTR CALLBACK StaticProc(HWND w, UINT m, WPARAM wp, LPARAM lp);
