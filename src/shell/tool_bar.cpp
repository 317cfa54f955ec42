// The toolbar's 24 buttons, 17 tooltips and code-page box, and the status bar's parts.
#include "shell/tool_bar.h"

#include "config/app_parameter.h"
#include "shell/command_ids.h"

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

const TBBUTTON kButtons[24] = {
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(0, kCmdOpen, kEnabled, TBSTYLE_BUTTON),
    Button(1, kCmdCsv, kHidden, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(2, kCmdCopy, kEnabled, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(3, kCmdSearch, kEnabled, TBSTYLE_BUTTON),
    Button(4, kCmdSearchPrevious, kEnabled, TBSTYLE_BUTTON),
    Button(5, kCmdSearchNext, kEnabled, TBSTYLE_BUTTON),
    Button(6, kCmdHighlightSearch, kEnabled, TBSTYLE_CHECK),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(7, kCmdExtract, kEnabled, TBSTYLE_BUTTON),
    Button(8, kCmdCompare, kHidden, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(9, kCmdJump, kEnabled, TBSTYLE_BUTTON),
    Button(10, kCmdJumpTop, kEnabled, TBSTYLE_BUTTON),
    Button(11, kCmdJumpEnd, kEnabled, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(12, kCmdMarkerList, kEnabled, TBSTYLE_BUTTON),
    Button(13, kCmdMarkerPrevious, kEnabled, TBSTYLE_BUTTON),
    Button(14, kCmdMarkerNext, kEnabled, TBSTYLE_BUTTON),
    Button(0, 0, kEnabled, TBSTYLE_SEP),
    Button(15, kCmdHelp, kEnabled, TBSTYLE_BUTTON),
    Button(16, kCmdPrint, kHidden, TBSTYLE_BUTTON),
};

const CToolTipRow kToolTips[17] = {
    {kCmdOpen, L"Open LOG File", L"ログファイルを読み込む"},
    {kCmdCsv, L"Save to CSV file", L"CSVファイルに出力"},
    {kCmdCopy, L"Copy", L"コピー"},
    {kCmdSearch, L"Search", L"検索"},
    {kCmdSearchPrevious, L"Previous Search", L"前を検索"},
    {kCmdSearchNext, L"Next Search", L"次を検索"},
    {kCmdHighlightSearch, L"Highlight Search String", L"検索文字列の強調"},
    {kCmdExtract, L"Extraction", L"ログを抽出"},
    {kCmdCompare, L"Compare", L"比較"},
    {kCmdJump, L"Jump", L"指定行へ移動"},
    {kCmdJumpTop, L"Jump To Top", L"データ先頭に移動"},
    {kCmdJumpEnd, L"Jump To End", L"データ末尾に移動"},
    {kCmdMarkerList, L"Marker List", L"マーカ一覧"},
    {kCmdMarkerPrevious, L"Previous Marker", L"前のマーク位置"},
    {kCmdMarkerNext, L"Next Marker", L"次のマーク位置"},
    {kCmdHelp, L"Help", L"ヘルプの表示"},
    {kCmdPrint, L"Print", L"印刷"},
};

const int kStatusParts[3] = {400, 600, 800};

int Language() {
    CAppParameter* config = GetAppParameter();
    return config != nullptr ? config->m_language : 0;
}

}  // namespace

int CToolBar::Create(HWND parent) {
    if (m_buttons == nullptr || m_buttonCount == 0) return 0;
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    CAppParameter* config = GetAppParameter();
    int bitmap = config != nullptr ? config->MapResourceId(kResToolBarBitmap) : kResToolBarBitmap;
    m_window = CreateToolbarEx(parent, WS_CHILD | WS_VISIBLE | WS_BORDER | TBSTYLE_TOOLTIPS, kToolBarId, m_buttonCount,
                               instance, static_cast<UINT_PTR>(bitmap), m_buttons, m_buttonCount, 0, 0, 16, 16,
                               sizeof(TBBUTTON));
    return m_window != nullptr ? 1 : 0;
}

void CToolBar::Move(const RECT& r) {
    if (m_window != nullptr) MoveWindow(m_window, r.left, r.top, r.right - r.left, 24, TRUE);
}

const wchar_t* CToolBar::ToolTipText(int id, int language) const {
    for (int i = 0; i < m_toolTipCount; ++i) {
        if (m_toolTips[i].id == id) return language == 1 ? m_toolTips[i].japanese : m_toolTips[i].english;
    }
    return nullptr;
}

CAppToolBar::CAppToolBar() {
    m_buttonCount = 24;
    m_buttons = kButtons;
    m_toolTipCount = 17;
    m_toolTips = kToolTips;
}

CAppToolBar::~CAppToolBar() {
    if (m_comboFont != nullptr) DeleteObject(m_comboFont);
}

int CAppToolBar::Create(HWND parent) {
    if (!CToolBar::Create(parent)) return 0;
    bool japanese = Language() == 1;
    LOGFONTW font = {};
    font.lfHeight = japanese ? 12 : 14;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynW(font.lfFaceName, japanese ? L"ＭＳ ゴシック" : L"Courier New", LF_FACESIZE);
    m_comboFont = CreateFontIndirectW(&font);
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    m_combo = CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | CBS_DROPDOWNLIST,
                              380, 2, 100, 160, m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCmdCodePageBox)),
                              instance, nullptr);
    if (m_combo == nullptr) return 1;
    if (m_comboFont != nullptr) SendMessageW(m_combo, WM_SETFONT, reinterpret_cast<WPARAM>(m_comboFont), FALSE);
    SendMessageW(m_combo, CB_RESETCONTENT, 0, 0);
    CAppParameter* config = GetAppParameter();
    unsigned codePage = config != nullptr ? config->m_codePage : 0;
    LRESULT ansi = SendMessageW(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"ANSI"));
    SendMessageW(m_combo, CB_SETITEMDATA, ansi, 0);
    if (codePage == 0) SendMessageW(m_combo, CB_SETCURSEL, ansi, 0);
    LRESULT utf8 = SendMessageW(m_combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"UTF-8"));
    SendMessageW(m_combo, CB_SETITEMDATA, utf8, 65001);
    if (codePage == 65001) SendMessageW(m_combo, CB_SETCURSEL, utf8, 0);
    return 1;
}

CAppStatusBar::CAppStatusBar() {
    m_partCount = 3;
    m_parts = kStatusParts;
}
