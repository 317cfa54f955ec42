// The font page of the settings sheet. Only fixed-pitch faces are offered, since the log
// view lays its columns out in character cells.
#include "dialogs/config_font_page.h"

#include "config/app_parameter.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "winui/dpi.h"

QUILLON_DIALOG_BINDING(CConfigFontPage)

namespace {

constexpr int kScalableSizes[] = {10, 12, 14, 16, 18, 20};

// Adds a size row (text "%2d", item data the size) unless the list has that size already.
void AddSize(HWND list, int size) {
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        if (SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0) == size) return;
    }
    char16_t text[16];
    FormatString(text, 16, u"%2d", size);
    LRESULT row = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
    if (row >= 0) SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(row), size);
}

int CALLBACK AddFixedPitchFace(const LOGFONTW* font, const TEXTMETRICW* metric, DWORD, LPARAM list) {
    const wchar_t* name = font->lfFaceName;
    if (name[0] == L'@' || name[0] == L'$') return 1;
    // The bit set means a variable-pitch font.
    if ((metric->tmPitchAndFamily & TMPF_FIXED_PITCH) != 0) return 1;
    HWND box = reinterpret_cast<HWND>(list);
    if (SendMessageW(box, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)) == LB_ERR) {
        SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    return 1;
}

int CALLBACK AddFaceSizes(const LOGFONTW*, const TEXTMETRICW* metric, DWORD type, LPARAM list) {
    HWND box = reinterpret_cast<HWND>(list);
    if ((type & RASTER_FONTTYPE) == 0) {
        for (int size : kScalableSizes) AddSize(box, size);
        return 0;
    }
    AddSize(box, metric->tmHeight + metric->tmExternalLeading);
    return 1;
}

// The row whose text equals text exactly (the list's own search ignores case), or -1.
int FindExactRow(HWND list, const wchar_t* text) {
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    wchar_t row[256];
    for (LRESULT k = 0; k < count; ++k) {
        if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(k), 0) >= 256) continue;
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(k), reinterpret_cast<LPARAM>(row));
        if (lstrcmpW(row, text) == 0) return static_cast<int>(k);
    }
    return -1;
}

}  // namespace

CConfigFontPage::~CConfigFontPage() {
    if (m_previewFont != nullptr) DeleteObject(m_previewFont);
}

void CConfigFontPage::SetFaceName(const char16_t* face) {
    int k = 0;
    for (; face != nullptr && face[k] != 0 && k < kFaceNameCapacity - 1; ++k) m_faceName[k] = face[k];
    m_faceName[k] = 0;
}

void CConfigFontPage::OnInitDialog(HWND) {
    FillFaceList();
    FillSizeList();
    UpdatePreview();
}

void CConfigFontPage::FillFaceList() {
    HWND list = GetDlgItem(m_window, IDC_FONT_FACE_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(m_window);
    EnumFontFamiliesW(dc, nullptr, AddFixedPitchFace, reinterpret_cast<LPARAM>(list));
    ReleaseDC(m_window, dc);
    int row = FindExactRow(list, W(m_faceName));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row < 0 ? 0 : row), 0);
}

void CConfigFontPage::FillSizeList() {
    HWND list = GetDlgItem(m_window, IDC_FONT_SIZE_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (m_faceName[0] != 0) {
        HDC dc = GetDC(m_window);
        EnumFontFamiliesW(dc, W(m_faceName), AddFaceSizes, reinterpret_cast<LPARAM>(list));
        ReleaseDC(m_window, dc);
    }
    LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    LRESULT select = 0;
    for (LRESULT row = 0; row < count; ++row) {
        if (SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0) >= m_size) {
            select = row;
            break;
        }
    }
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

void CConfigFontPage::UpdatePreview() {
    LOGFONTW font = {};
    // The size is one at 96 DPI, as in the view.
    font.lfHeight = ScaleToDpi(m_size, WindowDpi(m_window));
    font.lfCharSet = AppConfig().m_language == kLanguageJapanese ? SHIFTJIS_CHARSET : ANSI_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH;
    for (int k = 0; k < kFaceNameCapacity; ++k) font.lfFaceName[k] = static_cast<wchar_t>(m_faceName[k]);
    HFONT made = CreateFontIndirectW(&font);
    if (made == nullptr) return;
    HWND preview = GetDlgItem(m_window, IDC_FONT_PREVIEW);
    SendMessageW(preview, WM_SETFONT, reinterpret_cast<WPARAM>(made), FALSE);
    InvalidateRect(preview, nullptr, TRUE);
    if (m_previewFont != nullptr) DeleteObject(m_previewFont);
    m_previewFont = made;
}

void CConfigFontPage::OnCommand(HWND window, int id, int code) {
    if (code != LBN_SELCHANGE) {
        CPropertyPage::OnCommand(window, id, code);
        return;
    }
    if (id == IDC_FONT_FACE_LIST) {
        HWND list = GetDlgItem(window, IDC_FONT_FACE_LIST);
        LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (row < 0 || SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0) >= kFaceNameCapacity) return;
        wchar_t face[kFaceNameCapacity] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(face));
        SetFaceName(U(face));
        FillSizeList();
        UpdatePreview();
    } else if (id == IDC_FONT_SIZE_LIST) {
        HWND list = GetDlgItem(window, IDC_FONT_SIZE_LIST);
        LRESULT row = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (row < 0) return;
        m_size = static_cast<int32_t>(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
        UpdatePreview();
    }
}

void CConfigFontPage::OnApply(HWND) {
    m_applied = 1;
    CAppParameter& config = AppConfig();
    config.m_fontName.AssignWide(m_faceName, -1);
    config.m_fontSize = m_size;
    config.Save();
}
