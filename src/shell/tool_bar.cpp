// The toolbar's 24 buttons, 17 tooltips and code-page box, and the status bar's parts.
// The box is wider than the 100 pixels it once had: Auto names the code page it chose.
#include "shell/tool_bar.h"

#include "config/app_parameter.h"
#include "document/encoding.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "winui/dpi.h"
#include "winui/window_instance.h"

namespace {

constexpr BYTE kEnabled = TBSTATE_ENABLED;
constexpr BYTE kHidden = TBSTATE_HIDDEN;

TBBUTTON Button(int bitmap, int id, BYTE state, BYTE style) {
    TBBUTTON b = {};
    b.iBitmap = bitmap;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = style;
    return b;
}

// The separator before Follow carries an id of its own, so that its width can be set.
constexpr int kFollowSeparator = 0x7F01;

const TBBUTTON kButtons[26] = {
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(0, IDM_OPEN_LOG, kEnabled, TBSTYLE_BUTTON),
    Button(1, IDM_SAVE_CSV, kHidden, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(2, IDM_COPY, kEnabled, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(3, IDM_SEARCH, kEnabled, TBSTYLE_BUTTON),
    Button(4, IDM_SEARCH_PREVIOUS, kEnabled, TBSTYLE_BUTTON),
    Button(5, IDM_SEARCH_NEXT, kEnabled, TBSTYLE_BUTTON),
    Button(6, IDM_HIGHLIGHT_SEARCH, kEnabled, TBSTYLE_CHECK),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(7, IDM_EXTRACTION, kEnabled, TBSTYLE_BUTTON),
    Button(8, IDM_COMPARE, kHidden, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(9, IDM_JUMP, kEnabled, TBSTYLE_BUTTON),
    Button(10, IDM_JUMP_TOP, kEnabled, TBSTYLE_BUTTON),
    Button(11, IDM_JUMP_END, kEnabled, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(12, IDM_MARKER_LIST, kEnabled, TBSTYLE_BUTTON),
    Button(13, IDM_MARKER_PREVIOUS, kEnabled, TBSTYLE_BUTTON),
    Button(14, IDM_MARKER_NEXT, kEnabled, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(15, IDM_HELP, kEnabled, TBSTYLE_BUTTON),
    Button(16, IDM_PRINT, kHidden, TBSTYLE_BUTTON),
    // Follow stands right of the code-page box: its separator is widened over the box.
    Button(0, kFollowSeparator, kEnabled, TBSTYLE_SEP),
    Button(17, IDM_FOLLOW, kEnabled, TBSTYLE_CHECK),
};

// A command with a shortcut names it after its text, as its menu item does.
const CToolTipRow kToolTips[18] = {
    {IDM_OPEN_LOG, TextId::kToolTipOpen},
    {IDM_SAVE_CSV, TextId::kToolTipCsv},
    {IDM_COPY, TextId::kToolTipCopy},
    {IDM_SEARCH, TextId::kToolTipSearch},
    {IDM_SEARCH_PREVIOUS, TextId::kToolTipSearchPrevious},
    {IDM_SEARCH_NEXT, TextId::kToolTipSearchNext},
    {IDM_HIGHLIGHT_SEARCH, TextId::kToolTipHighlightSearch},
    {IDM_EXTRACTION, TextId::kToolTipExtract},
    {IDM_COMPARE, TextId::kToolTipCompare},
    {IDM_JUMP, TextId::kToolTipJump},
    {IDM_JUMP_TOP, TextId::kToolTipJumpTop},
    {IDM_JUMP_END, TextId::kToolTipJumpEnd},
    {IDM_MARKER_LIST, TextId::kToolTipMarkerList},
    {IDM_MARKER_PREVIOUS, TextId::kToolTipMarkerPrevious},
    {IDM_MARKER_NEXT, TextId::kToolTipMarkerNext},
    {IDM_HELP, TextId::kToolTipHelp},
    {IDM_PRINT, TextId::kToolTipPrint},
    {IDM_FOLLOW, TextId::kToolTipFollow},
};

const int kStatusParts[3] = {400, 600, 800};

// The status bar's part of follow mode and every text it shows.
constexpr int kFollowPart = 2;
constexpr TextId kFollowPartTexts[] = {TextId::kFollowing,
                                       TextId::kFollowDeleted,
                                       TextId::kFollowUnreadable,
                                       TextId::kFollowReplaced,
                                       TextId::kFollowShorter,
                                       TextId::kFollowIncomplete,
                                       TextId::kFollowCancelled,
                                       TextId::kFollowNoMemory,
                                       TextId::kFollowLastChangeFormat,
                                       TextId::kStampShareFormat,
                                       TextId::kStampNone,
                                       TextId::kFollowPacked,
                                       TextId::kPackedStatusFormat,
                                       TextId::kPackedIncompleteStatus};

// Pixels (at 96 DPI) between the right edge of the code-page box and the Follow button.
constexpr int kGapAfterBox = 6;

}  // namespace

int CToolBar::ImageSize(int dpi) {
    // Ties go to the larger images: at 125% 24-pixel images read better than 16.
    int wanted = ScaleToDpi(16, dpi);
    if (wanted >= 28) return 32;
    if (wanted >= 20) return 24;
    return 16;
}

int CToolBar::Create(HWND parent) {
    if (m_buttons == nullptr || m_buttonCount == 0) return 0;
    auto instance = InstanceOf(parent);
    int size = ImageSize(m_dpi);
    int bitmap = AppConfig().MapResourceId(IDB_TOOLBAR);
    if (size == 24) bitmap = IDB_TOOLBAR_24;
    if (size == 32) bitmap = IDB_TOOLBAR_32;
    m_window = CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, IDC_TOOLBAR, m_buttonCount,
                               instance, static_cast<UINT_PTR>(bitmap), m_buttons, m_buttonCount, 0, 0, size, size,
                               sizeof(TBBUTTON));
    return m_window != nullptr ? 1 : 0;
}

void CToolBar::Move(const RECT& r) {
    if (m_window != nullptr) MoveWindow(m_window, r.left, r.top, r.right - r.left, ScaleToDpi(24, m_dpi), TRUE);
}

void CToolBar::Destroy() {
    if (m_window != nullptr) DestroyWindow(m_window);
    m_window = nullptr;
}

int CToolBar::ChangeDpi(int dpi) {
    if (dpi <= 0) return 0;
    if (m_window == nullptr || dpi == m_dpi) {
        m_dpi = dpi;
        return m_window != nullptr ? 1 : 0;
    }
    // The images cannot change size in place: the toolbar is made again, and the command
    // states set on it since it was made are carried over.
    HWND parent = GetParent(m_window);
    BYTE states[64] = {};
    int count = m_buttonCount < 64 ? m_buttonCount : 64;
    for (int i = 0; i < count; ++i) {
        if (m_buttons[i].idCommand == 0) continue;
        LRESULT state = SendMessageW(m_window, TB_GETSTATE, static_cast<WPARAM>(m_buttons[i].idCommand), 0);
        states[i] = state >= 0 ? static_cast<BYTE>(state) : m_buttons[i].fsState;
    }
    Destroy();
    m_dpi = dpi;
    if (!Create(parent)) return 0;
    for (int i = 0; i < count; ++i) {
        if (m_buttons[i].idCommand == 0) continue;
        SendMessageW(m_window, TB_SETSTATE, static_cast<WPARAM>(m_buttons[i].idCommand), MAKELPARAM(states[i], 0));
    }
    ShowWindow(m_window, m_visible ? SW_SHOW : SW_HIDE);
    return 1;
}

const wchar_t* CToolBar::ToolTipText(int id) const {
    for (int i = 0; i < m_toolTipCount; ++i) {
        if (m_toolTips[i].id == id) return W(UiText(m_toolTips[i].text));
    }
    return nullptr;
}

CAppToolBar::CAppToolBar() {
    m_buttonCount = 26;
    m_buttons = kButtons;
    m_toolTipCount = 18;
    m_toolTips = kToolTips;
}

CAppToolBar::~CAppToolBar() {
    if (m_comboFont != nullptr) DeleteObject(m_comboFont);
}

void CAppToolBar::Destroy() {
    // The box is a child of the toolbar and goes with it; its font does not.
    CToolBar::Destroy();
    m_combo = nullptr;
    if (m_comboFont != nullptr) DeleteObject(m_comboFont);
    m_comboFont = nullptr;
}

int CAppToolBar::Create(HWND parent) {
    if (!CToolBar::Create(parent)) return 0;
    LOGFONTW font = {};
    font.lfHeight = ScaleToDpi(UiLanguage() == kLanguageJapanese ? 12 : 14, m_dpi);
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynW(font.lfFaceName, W(UiText(TextId::kDefaultFontFace)), LF_FACESIZE);
    m_comboFont = CreateFontIndirectW(&font);
    auto instance = InstanceOf(parent);
    m_combo =
        CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST,
                        ScaleToDpi(380, m_dpi), ScaleToDpi(2, m_dpi), ScaleToDpi(140, m_dpi), ScaleToDpi(160, m_dpi),
                        m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_ENCODING_COMBO)), instance, nullptr);
    if (m_combo == nullptr) return 1;
    if (m_comboFont != nullptr) SendMessageW(m_combo, WM_SETFONT, reinterpret_cast<WPARAM>(m_comboFont), FALSE);
    ShowEncoding(m_logOpen);
    PlaceFollowButton();
    return 1;
}

void CAppToolBar::ShowEncoding(bool logOpen) {
    m_logOpen = logOpen;
    if (m_combo == nullptr) return;
    CAppParameter& config = AppConfig();
    int32_t choice = config.m_encodingChoice;
    unsigned codePage = config.m_codePage;
    const char16_t* name = codePage == kCodePageUtf8      ? u"UTF-8"
                           : codePage == kCodePageUtf16Le ? u"UTF-16LE"
                           : codePage == kCodePageUtf16Be ? u"UTF-16BE"
                                                          : u"ANSI";
    const char16_t* automatic = UiText(TextId::kEncodingAuto);
    char16_t autoText[32];
    if (logOpen) {
        FormatString(autoText, 32, u"%s (%s)", automatic, name);
    } else {
        FormatString(autoText, 32, u"%s", automatic);
    }
    struct Item {
        const wchar_t* text;
        LPARAM data;
        bool chosen;
    };
    const Item items[3] = {{W(autoText), kAutoEncodingItem, choice == kEncodingAuto},
                           {L"ANSI", 0, choice == kCodePageAnsi},
                           {L"UTF-8", kCodePageUtf8, choice == static_cast<int32_t>(kCodePageUtf8)}};
    SendMessageW(m_combo, CB_RESETCONTENT, 0, 0);
    for (const Item& item : items) {
        LRESULT index = SendMessageW(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.text));
        SendMessageW(m_combo, CB_SETITEMDATA, index, item.data);
        if (item.chosen) SendMessageW(m_combo, CB_SETCURSEL, index, 0);
    }
}

void CAppToolBar::PlaceFollowButton() {
    RECT separator = {};
    RECT box = {};
    if (!SendMessageW(m_window, TB_GETRECT, kFollowSeparator, reinterpret_cast<LPARAM>(&separator))) return;
    GetWindowRect(m_combo, &box);
    MapWindowPoints(nullptr, m_window, reinterpret_cast<POINT*>(&box), 2);
    int width = box.right + ScaleToDpi(kGapAfterBox, m_dpi) - separator.left;
    if (width <= 0) return;
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_SIZE;
    info.cx = static_cast<WORD>(width);
    SendMessageW(m_window, TB_SETBUTTONINFOW, kFollowSeparator, reinterpret_cast<LPARAM>(&info));
}

void CStatusBar::SetParts(int dpi) {
    if (m_window == nullptr || m_parts == nullptr) return;
    int edges[16];
    int count = m_partCount < 16 ? m_partCount : 16;
    for (int i = 0; i < count; ++i) {
        edges[i] = m_parts[i] < 0 ? -1 : ScaleToDpi(m_parts[i], dpi);
        int left = i > 0 ? edges[i - 1] : 0;
        int needed = MinPartWidth(i, dpi);
        if (edges[i] >= 0 && left >= 0 && edges[i] - left < needed) edges[i] = left + needed;
    }
    SendMessageW(m_window, SB_SETPARTS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(edges));
}

CAppStatusBar::CAppStatusBar() {
    m_partCount = 3;
    m_parts = kStatusParts;
}

int CAppStatusBar::MinPartWidth(int part, int dpi) const {
    if (part != kFollowPart || m_window == nullptr) return 0;
    HDC dc = GetDC(m_window);
    if (dc == nullptr) return 0;
    auto font = reinterpret_cast<HFONT>(SendMessageW(m_window, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    int widest = 0;
    for (TextId id : kFollowPartTexts) {
        const char16_t* text = UiText(id);
        int length = 0;
        while (text[length] != 0) ++length;
        SIZE size = {};
        if (GetTextExtentPoint32W(dc, W(text), length, &size) && size.cx > widest) widest = size.cx;
    }
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    int fontDpi = GetDeviceCaps(dc, LOGPIXELSY);
    if (old != nullptr) SelectObject(dc, old);
    ReleaseDC(m_window, dc);
    // The part's borders and the room a format's fields take beyond their own letters, from
    // the font's scale to the bar's.
    return MulDiv(widest + 4 * metrics.tmAveCharWidth, dpi, fontDpi > 0 ? fontDpi : kDefaultDpi);
}
