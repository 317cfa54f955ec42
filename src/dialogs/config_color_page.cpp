// The colour page of the settings sheet.
#include "dialogs/config_color_page.h"

#include <commdlg.h>

#include <cstring>
#include <initializer_list>
#include <new>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "res/resource.h"

QUILLON_DIALOG_BINDING(CConfigColorPage)

namespace {

const CColorName* NameOfRow(int row) {
    CAppParameter& config = AppConfig();
    if (config.m_colorNames == nullptr || row < 0 || row >= config.m_colorNameCount) return nullptr;
    return &config.m_colorNames[row];
}

}  // namespace

CConfigColorPage::~CConfigColorPage() { delete[] m_colors; }

int CConfigColorPage::CopyColors(const CColorEntry* colors, int count) {
    delete[] m_colors;
    m_colors = nullptr;
    m_colorCount = 0;
    if (colors == nullptr || count <= 0) return 0;
    m_colors = new (std::nothrow) CColorEntry[static_cast<size_t>(count)];
    if (m_colors == nullptr) return 0;
    std::memcpy(m_colors, colors, static_cast<size_t>(count) * sizeof(CColorEntry));
    m_colorCount = count;
    return 1;
}

INT_PTR CConfigColorPage::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item->CtlID >= IDC_COLOR_TEXT_BUTTON && item->CtlID <= IDC_COLOR_LINE_BUTTON) {
            DrawColorButton(item);
            return 1;
        }
    }
    return CPropertyPage::DialogProc(window, message, wParam, lParam);
}

void CConfigColorPage::OnInitDialog(HWND window) {
    HWND list = GetDlgItem(window, IDC_COLOR_NAME_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    int count = AppConfig().m_colorNameCount;
    if (count > kMaxColorRows) count = kMaxColorRows;
    for (int k = 0; k < count; ++k) {
        const char16_t* text = UiText(NameOfRow(k)->name);
        LRESULT row = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (row >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(row), k);
    }
    SendMessageW(list, LB_SETCURSEL, 0, 0);
    m_selectedRow = 0;
    EnableForRow(0);
    CheckDlgButton(window, IDC_COLOR_CODES, AppConfig().m_colorCodes != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void CConfigColorPage::EnableForRow(int row) {
    const CColorName* name = NameOfRow(row);
    if (name == nullptr) return;
    BOOL lineOnly = name->lineOnly != 0 ? TRUE : FALSE;
    for (int id : {IDC_COLOR_TEXT_LABEL, IDC_COLOR_BACK_LABEL, IDC_COLOR_TEXT_BUTTON, IDC_COLOR_BACK_BUTTON}) {
        EnableWindow(GetDlgItem(m_window, id), !lineOnly);
    }
    for (int id : {IDC_COLOR_LINE_LABEL, IDC_COLOR_LINE_BUTTON}) EnableWindow(GetDlgItem(m_window, id), lineOnly);
}

bool CConfigColorPage::SelectedRowIsLineOnly() const {
    const CColorName* name = NameOfRow(m_selectedRow);
    return name != nullptr && name->lineOnly != 0;
}

void CConfigColorPage::OnCommand(HWND window, int id, int code) {
    if (id == IDC_COLOR_NAME_LIST) {
        if (code != LBN_SELCHANGE) return;
        HWND list = GetDlgItem(window, IDC_COLOR_NAME_LIST);
        LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (row < 0 || row >= SendMessageW(list, LB_GETCOUNT, 0, 0)) return;
        const CColorName* name =
            NameOfRow(static_cast<int>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0)));
        if (name == nullptr) return;
        m_selectedEntry = name->entry;
        m_selectedRow = static_cast<int32_t>(row);
        EnableForRow(m_selectedRow);
        for (int button = IDC_COLOR_TEXT_BUTTON; button <= IDC_COLOR_LINE_BUTTON; ++button) {
            InvalidateRect(GetDlgItem(window, button), nullptr, TRUE);
        }
        return;
    }
    if (code != BN_CLICKED || m_colors == nullptr || m_selectedEntry < 0 || m_selectedEntry >= m_colorCount) {
        CPropertyPage::OnCommand(window, id, code);
        return;
    }
    CColorEntry& entry = m_colors[m_selectedEntry];
    bool chosen = false;
    if (id == IDC_COLOR_TEXT_BUTTON || id == IDC_COLOR_LINE_BUTTON) {
        chosen = ChooseColorFor(&entry.text);
    } else if (id == IDC_COLOR_BACK_BUTTON) {
        chosen = ChooseColorFor(&entry.background);
    } else {
        CPropertyPage::OnCommand(window, id, code);
    }
    if (chosen) InvalidateRect(window, nullptr, TRUE);
}

bool CConfigColorPage::ChooseColorFor(CColorRef* color) {
    CHOOSECOLORW choose = {};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = m_window;
    choose.rgbResult = *color;
    choose.lpCustColors = m_customColors;
    choose.Flags = CC_RGBINIT;
    if (!ChooseColorW(&choose)) return false;
    *color = choose.rgbResult;
    return true;
}

void CConfigColorPage::DrawColorButton(const DRAWITEMSTRUCT* item) {
    RECT r = item->rcItem;
    DrawFrameControl(item->hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
    r.left += 3;
    r.top += 3;
    r.right -= 4;
    r.bottom -= 4;
    bool lineOnly = SelectedRowIsLineOnly();
    UINT id = item->CtlID;
    bool ofKind = lineOnly ? id == IDC_COLOR_LINE_BUTTON : id != IDC_COLOR_LINE_BUTTON;
    if (ofKind && m_colors != nullptr && m_selectedEntry >= 0 && m_selectedEntry < m_colorCount) {
        const CColorEntry& entry = m_colors[m_selectedEntry];
        HBRUSH brush = CreateSolidBrush(id == IDC_COLOR_BACK_BUTTON ? entry.background : entry.text);
        if (brush != nullptr) {
            FillRect(item->hDC, &r, brush);
            DeleteObject(brush);
        }
    }
    if ((item->itemState & ODS_FOCUS) != 0) DrawFocusRect(item->hDC, &r);
}

void CConfigColorPage::OnApply(HWND window) {
    m_applied = 1;
    CAppParameter& config = AppConfig();
    config.m_colorCodes = IsDlgButtonChecked(window, IDC_COLOR_CODES) == BST_CHECKED ? 1 : 0;
    if (m_colors != nullptr && config.m_colors != nullptr) {
        int count = m_colorCount < config.m_colorCount ? m_colorCount : config.m_colorCount;
        std::memcpy(config.m_colors, m_colors, static_cast<size_t>(count) * sizeof(CColorEntry));
    }
    config.Save();
}
