// CChildView: message dispatch, double-buffered painting and the scroll-bar rules.
#include "view/child_view.h"

#include <windowsx.h>

#include "config/app_parameter.h"
#include "config/dark_colors.h"
#include "document/scroll_scale.h"
#include "foundation/wide.h"
#include "winui/window_instance.h"

namespace {

bool g_classRegistered = false;

}  // namespace

CChildView::~CChildView() {
    if (m_font != nullptr) DeleteObject(m_font);
    if (m_window != nullptr) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
}

bool CChildView::RegisterWindowClass(HINSTANCE instance) {
    if (g_classRegistered) return true;
    WNDCLASSW wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = W(AppConfig().m_childClassName.GetWideOrEmpty());
    if (!RegisterClassW(&wc)) return false;
    g_classRegistered = true;
    return true;
}

bool CChildView::Create(HWND parent, uint64_t tag, DWORD style, DWORD exStyle) {
    auto instance = InstanceOf(parent);
    if (!RegisterWindowClass(instance)) return false;
    if (m_window != nullptr) return true;
    m_tag = tag;
    const wchar_t* name = W(AppConfig().m_childClassName.GetWideOrEmpty());
    m_window =
        CreateWindowExW(exStyle, name, L"", style | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, nullptr, instance, this);
    return m_window != nullptr;
}

LRESULT CALLBACK CChildView::StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* view = reinterpret_cast<CChildView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view != nullptr) return view->WindowProc(window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

void CChildView::DestroyView() {
    if (m_window == nullptr) return;
    SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    DestroyWindow(m_window);
    m_window = nullptr;
}

void CChildView::SetSettings(const CViewSettings& settings) {
    m_settings = settings;
    Invalidate();
}

void CChildView::Invalidate() {
    if (m_window != nullptr) InvalidateRect(m_window, nullptr, FALSE);
}

void CChildView::MoveToRect(const RECT& r) {
    if (m_window != nullptr) MoveWindow(m_window, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void CChildView::MoveTo(int x, int y, int width, int height) {
    if (m_window != nullptr) MoveWindow(m_window, x, y, width, height, TRUE);
}

void CChildView::Enable(bool enabled) {
    if (m_window != nullptr) EnableWindow(m_window, enabled ? TRUE : FALSE);
}

void CChildView::SetRect(const RECT& r) { MoveToRect(r); }

HFONT CChildView::CreateViewFont(const wchar_t* face, int height, int charSet) {
    LOGFONTW font = {};
    font.lfHeight = height;
    font.lfCharSet = static_cast<BYTE>(charSet);
    font.lfPitchAndFamily = FIXED_PITCH;
    if (face != nullptr) lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    HFONT made = CreateFontIndirectW(&font);
    if (made == nullptr) return nullptr;
    if (m_font != nullptr) DeleteObject(m_font);
    m_font = made;
    m_currentFont = made;
    return made;
}

LRESULT CChildView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    int handled = 0;
    switch (message) {
        case WM_CREATE:
            m_window = window;
            OnCreate(window, reinterpret_cast<CREATESTRUCTW*>(lParam));
            return 1;
        case WM_SIZE:
            m_sizeChanged = 1;
            handled = Dispatch(window, message, wParam, lParam);
            break;
        case WM_SETFOCUS:
            handled = OnSetFocus();
            break;
        case WM_KILLFOCUS:
            handled = OnKillFocus();
            break;
        case WM_GETMINMAXINFO:
            handled = OnGetMinMaxInfo(lParam);
            break;
        default:
            handled = Dispatch(window, message, wParam, lParam);
            break;
    }
    return handled ? 0 : DefWindowProcW(window, message, wParam, lParam);
}

int CChildView::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            return OnSize(LOWORD(lParam), HIWORD(lParam), static_cast<int>(wParam));
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            OnPaint(dc);
            EndPaint(window, &ps);
            return 1;
        }
        case WM_CLOSE:
            return OnClose(window);
        case WM_ERASEBKGND:
            return OnEraseBackground();
        case WM_NOTIFY:
            return OnNotify(wParam, lParam);
        case WM_KEYDOWN:
            return OnKeyDown(wParam, lParam);
        case WM_KEYUP:
            return OnKeyUp(wParam, lParam);
        case WM_CHAR:
            return OnChar(static_cast<int>(wParam));
        case WM_COMMAND:
            return OnCommand(LOWORD(wParam), HIWORD(wParam));
        case WM_HSCROLL:
            return OnHScroll(LOWORD(wParam));
        case WM_VSCROLL:
            return OnVScroll(LOWORD(wParam));
        case WM_MOUSEMOVE:
            return OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_LBUTTONDOWN:
            return OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_LBUTTONUP:
            return OnLButtonUp(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_LBUTTONDBLCLK:
            return OnLButtonDblClk(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_RBUTTONDOWN:
            return OnRButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        case WM_MOUSEWHEEL:
            return OnMouseWheel(static_cast<short>(HIWORD(wParam)));
        case WM_USER + 1:
            return OnUserMessage();
        default:
            return 0;
    }
}

int CChildView::OnCreate(HWND, CREATESTRUCTW*) { return 0; }
int CChildView::OnClose(HWND) { return 0; }
int CChildView::OnSize(int, int, int) { return 0; }
int CChildView::OnDraw(HDC, const RECT&) { return 0; }
int CChildView::OnCommand(int, int) { return 0; }
int CChildView::OnMouseMove(int, int) { return 0; }
int CChildView::OnRButtonDown(int, int) { return 0; }
int CChildView::OnChar(int) { return 0; }
int CChildView::OnKeyDown(WPARAM, LPARAM) { return 0; }
int CChildView::OnKeyUp(WPARAM, LPARAM) { return 0; }
int CChildView::OnSetFocus() { return 0; }
int CChildView::OnKillFocus() { return 0; }
int CChildView::OnNotify(WPARAM, LPARAM) { return 0; }
int CChildView::OnGetMinMaxInfo(LPARAM) { return 0; }
int CChildView::OnUserMessage() { return 0; }
int CChildView::OnEraseBackground() { return 0; }

int CChildView::OnLButtonDown(int, int) {
    SetFocus(m_window);
    SetCapture(m_window);
    return 1;
}

int CChildView::OnLButtonUp(int, int) {
    ReleaseCapture();
    return 1;
}

int CChildView::OnLButtonDblClk(int, int) {
    SetFocus(m_window);
    return 1;
}

HFONT CChildView::MakeConfiguredFont(int weight) const {
    LOGFONTW font = {};
    font.lfHeight = Scaled(m_settings.fontSize);
    font.lfWeight = weight;
    font.lfCharSet = m_settings.fontCharSet;
    font.lfPitchAndFamily = FIXED_PITCH;
    lstrcpynW(font.lfFaceName, W(m_settings.fontFace), LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

int CChildView::OnPaint(HDC dc) {
    RECT client;
    GetClientRect(m_window, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    bool dark = m_settings.dark != 0;
    HBRUSH ground = CreateSolidBrush(dark ? kDarkGround : 0xFFFFFF);
    FillRect(memory, &client, ground);
    DeleteObject(ground);
    HFONT font = MakeConfiguredFont();
    HGDIOBJ oldFont = SelectObject(memory, font);
    TEXTMETRICW metrics;
    if (GetTextMetricsW(memory, &metrics)) {
        m_charWidth = metrics.tmAveCharWidth;
        m_lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
        m_rowPitch = m_lineHeight + Scaled(1);
    }
    COLORREF rule = RGB(200, 200, 200);
    HPEN pen = CreatePen(PS_SOLID, Scaled(1), dark ? DarkBackground(rule) : rule);
    HGDIOBJ oldPen = SelectObject(memory, pen);
    OnDraw(memory, client);
    SelectObject(memory, oldPen);
    DeleteObject(pen);
    SelectObject(memory, oldFont);
    DeleteObject(font);
    BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteDC(memory);
    DeleteObject(bitmap);
    return 1;
}

namespace {

CScrollRange RangeOf(const CScrollState& s) { return CScrollRange{s.maximum, s.page}; }

int32_t BarUnits(int64_t value) { return static_cast<int32_t>(value); }

}  // namespace

void CChildView::SetScrollState(bool vertical, int64_t maximum, int64_t page, int64_t position, int32_t step) {
    CScrollState& s = vertical ? m_vScroll : m_hScroll;
    if (maximum == -1) maximum = s.maximum;
    if (page == -1) page = s.page;
    if (position == -1) position = s.position;
    s.step = step;
    s.position = position < 0 ? 0 : position;
    s.page = page < maximum ? page : maximum;
    s.maximum = maximum;
    if (m_window == nullptr) return;
    // The page the caller gave, as before, even where it exceeds the range.
    CScrollRange bar = ScrollBarRange(CScrollRange{maximum, page});
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = BarUnits(bar.maximum);
    info.nPage = static_cast<UINT>(bar.page);
    info.nPos = BarUnits(ScrollBarPosition(RangeOf(s), s.position));
    SetScrollInfo(m_window, vertical ? SB_VERT : SB_HORZ, &info, TRUE);
}

void CChildView::ShowScrollPosition(bool vertical) {
    if (m_window == nullptr) return;
    const CScrollState& s = vertical ? m_vScroll : m_hScroll;
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = BarUnits(ScrollBarPosition(RangeOf(s), s.position));
    SetScrollInfo(m_window, vertical ? SB_VERT : SB_HORZ, &info, TRUE);
}

void CChildView::ScrollTo(bool vertical, int64_t position) {
    CScrollState& s = vertical ? m_vScroll : m_hScroll;
    int64_t last = s.maximum - s.page + 1;
    if (position > last) position = last;
    if (position < 0) position = 0;
    if (position == s.position) return;
    s.position = position;
    if (m_window == nullptr) return;
    InvalidateRect(m_window, nullptr, FALSE);
    ShowScrollPosition(vertical);
}

void CChildView::SetVScrollPos(int64_t position) { ScrollTo(true, position); }

void CChildView::SetHScrollPos(int64_t position) { ScrollTo(false, position); }

int CChildView::OnScroll(bool vertical, int code) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(m_window, vertical ? SB_VERT : SB_HORZ, &info)) return 1;
    // Steps count in the content's units; only the thumb's place is read in the bar's.
    const CScrollState& s = vertical ? m_vScroll : m_hScroll;
    int64_t target;
    switch (code) {
        case SB_LINEUP:
            target = s.position - s.step;
            break;
        case SB_LINEDOWN:
            target = s.position + s.step;
            break;
        case SB_PAGEUP:
            target = s.position - s.page;
            break;
        case SB_PAGEDOWN:
            target = s.position + s.page;
            break;
        case SB_THUMBTRACK:
            // The message's position has 16 bits; the tracking position has them all.
            target = ScrollContentPosition(RangeOf(s), info.nTrackPos);
            break;
        case SB_TOP:
            target = 0;
            break;
        case SB_BOTTOM:
            target = s.maximum;
            break;
        default:
            target = s.position;
            break;
    }
    if (vertical) {
        SetVScrollPos(target);
    } else {
        SetHScrollPos(target);
    }
    return 1;
}

int CChildView::OnVScroll(int code) { return OnScroll(true, code); }

int CChildView::OnHScroll(int code) { return OnScroll(false, code); }

int CChildView::OnMouseWheel(int delta) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(m_window, SB_VERT, &info)) return 1;
    int rows = static_cast<short>(delta) / 120 * 2;
    SetVScrollPos(m_vScroll.position - rows);
    Invalidate();
    return 1;
}

void CChildView::UpdateScrollBar(bool vertical, int64_t content, int32_t unit, int32_t clientSize, int64_t first) {
    if (content != 0 && unit != 0 && clientSize >= 0) {
        int32_t visible = clientSize / unit;
        SetScrollState(vertical, visible / 2 + content, visible, first, 1);
        return;
    }
    CScrollState& s = vertical ? m_vScroll : m_hScroll;
    s.maximum = 1;
    s.position = 0;
    s.page = 1;
    s.step = 1;
    if (m_window == nullptr) return;
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = 1;
    info.nPage = 2;
    info.nPos = 0;
    SetScrollInfo(m_window, vertical ? SB_VERT : SB_HORZ, &info, TRUE);
}

void CChildView::UpdateVScrollBar() {
    RECT client = {};
    if (m_window != nullptr) GetClientRect(m_window, &client);
    UpdateScrollBar(true, m_contentHeight, m_lineHeight != 0 ? m_rowPitch : 0, client.bottom - client.top, m_firstRow);
}

void CChildView::UpdateHScrollBar() {
    RECT client = {};
    if (m_window != nullptr) GetClientRect(m_window, &client);
    UpdateScrollBar(false, m_contentWidth, m_charWidth, client.right - client.left, m_firstColumn);
}
