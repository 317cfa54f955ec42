// The choice of a zip archive's file: its names (UTF-8 in the archive) and sizes.
#include "shell/zip_entry_dialog.h"

#include <cstdlib>
#include <string>

#include "config/ui_text.h"
#include "dialogs/search_dialogs.h"
#include "document/zip_directory.h"
#include "foundation/convert.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "shell/packed_open.h"

QUILLON_DIALOG_BINDING(CZipEntryDialog)

namespace {

// Where the size column starts, in dialog units: most names end before it.
constexpr int kSizeTabStop = 170;

// A row of the list: the entry's name, a tab and its size.
std::u16string EntryRow(const CZipDirectory& directory, int index) {
    std::u16string row;
    char16_t* name = MultiByteToWideAlloc(directory.Name(index), -1, kCodePageUtf8);
    if (name != nullptr) row = name;
    std::free(name);
    char16_t size[32];
    FormatByteSize(directory.At(index).size, size, 32);
    return row + u"\t" + size;
}

}  // namespace

void CZipEntryDialog::OnInitDialog(HWND window) {
    SetSmallIcon(window);
    SetWindowTextW(window, W(UiText(TextId::kZipEntryChoiceCaption)));
    HWND list = GetDlgItem(window, IDC_ZIP_ENTRY_LIST);
    int stop = kSizeTabStop;
    SendMessageW(list, LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
    for (int i = 0; m_directory != nullptr && i < m_directory->Count(); ++i) {
        std::u16string row = EntryRow(*m_directory, i);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(row.c_str())));
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(m_choice), 0);
}

void CZipEntryDialog::OnCommand(HWND window, int id, int code) {
    // A double click opens the file clicked.
    if (id == IDC_ZIP_ENTRY_LIST && code == LBN_DBLCLK) id = IDOK;
    CDialog::OnCommand(window, id, code);
}

int CZipEntryDialog::OnOK(HWND window) {
    LRESULT index = SendDlgItemMessageW(window, IDC_ZIP_ENTRY_LIST, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return 0;
    m_choice = static_cast<int>(index);
    return 1;
}
