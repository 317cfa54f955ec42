// The keyword list dialog: the list view over the dialog's own keyword set, the edit
// dialog for one entry, and the keyword files chosen with the system's file dialogs.
#include "dialogs/keyword_list_dialog.h"

#include <commdlg.h>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "dialogs/keyword_edit_dialog.h"
#include "res/resource.h"
#include "winui/dpi.h"
#include "winui/file_dialog.h"

QUILLON_DIALOG_BINDING(CKeywordListDialog)

namespace {

// Pixels at 96 DPI.
constexpr int kColumnWidth = 100;
constexpr int kPathCapacity = 520;

}  // namespace

CKeywordListDialog::~CKeywordListDialog() { m_keywords.Clear(); }

void CKeywordListDialog::OnInitDialog(HWND window) {
    HWND list = GetDlgItem(window, IDC_KEYWORD_LIST);
    LRESULT styles = SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles | LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const char16_t* titles[2] = {UiText(TextId::kKeywordColumnText), UiText(TextId::kKeywordColumnColor)};
    for (int k = 0; k < 2; ++k) {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = ScaleToDpi(kColumnWidth, WindowDpi(window));
        column.pszText = const_cast<wchar_t*>(W(titles[k]));
        column.iSubItem = k;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(&column));
    }
    FillList(0);
}

void CKeywordListDialog::FillList(int select) {
    HWND list = GetDlgItem(m_window, IDC_KEYWORD_LIST);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    const char16_t* format = UiText(TextId::kHighlightFormat);
    int count = static_cast<int>(m_keywords.Count());
    for (int i = 0; i < count; ++i) {
        const CKeywordEntry& entry = m_keywords.Entry(static_cast<uint32_t>(i));
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = W(entry.wide);
        LRESULT row = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (row < 0) continue;
        bool highlight =
            entry.color >= kFirstHighlightColor && entry.color < kFirstHighlightColor + kHighlightColorCount;
        char16_t shown[32];
        FormatString(shown, 32, format, highlight ? entry.color - 5 : 1);
        item.iItem = static_cast<int>(row);
        item.iSubItem = 1;
        item.pszText = W(shown);
        SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    }

    bool any = count > 0;
    HWND remove = GetDlgItem(m_window, IDC_KEYWORD_DELETE);
    HWND removeAll = GetDlgItem(m_window, IDC_KEYWORD_DELETE_ALL);
    // A button that is about to be disabled must not keep the focus.
    HWND focus = GetFocus();
    if (!any && (focus == remove || focus == removeAll)) {
        SendMessageW(m_window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(m_window, IDC_KEYWORD_ADD)), TRUE);
    }
    EnableWindow(remove, any ? TRUE : FALSE);
    EnableWindow(removeAll, any ? TRUE : FALSE);
    if (!any) return;
    // Index -1 would mean every row to the list view: select only a row that exists.
    if (select >= 0 && select < count) {
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(select), reinterpret_cast<LPARAM>(&state));
        SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(select), FALSE);
    }
    SetFocus(list);
}

void CKeywordListDialog::OnCommand(HWND window, int id, int code) {
    switch (id) {
        case IDC_KEYWORD_ADD:
            AddKeyword();
            return;
        case IDC_KEYWORD_MODIFY:
            ModifyKeyword();
            return;
        case IDC_KEYWORD_DELETE:
            DeleteKeyword();
            return;
        case IDC_KEYWORD_DELETE_ALL:
            DeleteAllKeywords();
            return;
        case IDC_KEYWORD_LOAD:
            LoadKeywordFile();
            return;
        case IDC_KEYWORD_SAVE:
            SaveKeywordFile();
            return;
        default:
            CDialog::OnCommand(window, id, code);
            return;
    }
}

int CKeywordListDialog::OnOK(HWND) {
    AppConfig().Keywords().CopyFrom(m_keywords);
    return 1;
}

int CKeywordListDialog::SelectedRow() const {
    HWND list = GetDlgItem(m_window, IDC_KEYWORD_LIST);
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void CKeywordListDialog::AddKeyword() {
    CKeywordEditDialog edit;
    if (RunDialog(edit, IDD_KEYWORD_EDIT_JA, m_window) != 1 || edit.m_text.IsEmpty()) return;
    int index = m_keywords.Add(edit.m_text.GetWide(), edit.m_color, edit.m_bold, edit.m_error);
    if (index >= 0) FillList(index);
}

void CKeywordListDialog::ModifyKeyword() {
    int row = SelectedRow();
    if (row < 0 || static_cast<uint32_t>(row) >= m_keywords.Count()) return;
    const CKeywordEntry& entry = m_keywords.Entry(static_cast<uint32_t>(row));
    CKeywordEditDialog edit;
    edit.m_text.AssignWide(entry.wide, -1);
    edit.m_color = entry.color;
    edit.m_bold = entry.bold;
    edit.m_error = entry.error;
    if (RunDialog(edit, IDD_KEYWORD_EDIT_JA, m_window) != 1 || edit.m_text.IsEmpty()) return;
    m_keywords.SetEntry(static_cast<uint32_t>(row), edit.m_text.GetWide(), edit.m_color, edit.m_bold, edit.m_error);
    FillList(row);
}

void CKeywordListDialog::DeleteKeyword() {
    int row = SelectedRow();
    if (m_keywords.Count() == 0 || row < 0) return;
    m_keywords.Remove(static_cast<uint32_t>(row));
    FillList(row);
}

void CKeywordListDialog::DeleteAllKeywords() {
    m_keywords.Clear();
    FillList(0);
}

void CKeywordListDialog::LoadKeywordFile() {
    wchar_t path[kPathCapacity] = {};
    OPENFILENAMEW dialog = FileDialogFields(m_window, W(UiText(TextId::kKeywordFileFilter)), path, kPathCapacity,
                                            W(UiText(TextId::kKeywordFileLoadTitle)));
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog) || path[0] == 0) return;
    m_keywords.LoadFile(U(path));
    FillList(0);
}

void CKeywordListDialog::SaveKeywordFile() {
    wchar_t path[kPathCapacity] = {};
    OPENFILENAMEW dialog = FileDialogFields(m_window, W(UiText(TextId::kKeywordFileFilter)), path, kPathCapacity,
                                            W(UiText(TextId::kKeywordFileSaveTitle)));
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog) || path[0] == 0) return;
    m_keywords.SaveFile(U(path));
}
