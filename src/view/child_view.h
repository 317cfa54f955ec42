// CChildView: a window that draws its whole content itself, through an off-screen
// bitmap, with the configured fixed-pitch font and its own scroll-bar state.
// The object lives in the window's GWLP_USERDATA from WM_CREATE until DestroyView. UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>

#include "winui/dpi.h"
#include "view/draw.h"
#include "view/view_settings.h"

// A scroll bar's state in the content's units (rows or columns), 64-bit: the window's bar
// shows it scaled when it is larger than a bar holds (document/scroll_scale.h).
struct CScrollState {
    int64_t maximum = 0;
    int64_t position = 0;
    int64_t page = 0;
    int32_t step = 0;
};

class CChildView : public CDraw {
public:
    CChildView() = default;
    ~CChildView() override;
    CChildView(const CChildView&) = delete;
    CChildView& operator=(const CChildView&) = delete;

    virtual bool Create(HWND parent, uint64_t tag, DWORD style, DWORD exStyle);
    virtual void DestroyView();
    virtual void Invalidate();
    virtual void MoveToRect(const RECT& r);
    virtual void MoveTo(int x, int y, int width, int height);
    virtual void Enable(bool enabled);
    virtual void SetRect(const RECT& r);
    virtual HFONT CreateViewFont(const wchar_t* face, int height, int charSet);
    virtual bool RegisterWindowClass(HINSTANCE instance);
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate(HWND window, CREATESTRUCTW* create);
    virtual int OnClose(HWND window);
    virtual int OnSize(int width, int height, int sizeType);
    virtual int OnDraw(HDC dc, const RECT& client);
    virtual int OnCommand(int id, int code);
    virtual int OnLButtonDown(int x, int y);
    virtual int OnLButtonUp(int x, int y);
    virtual int OnMouseMove(int x, int y);
    virtual int OnRButtonDown(int x, int y);
    virtual int OnLButtonDblClk(int x, int y);
    virtual int OnHScroll(int code);
    virtual int OnVScroll(int code);
    virtual int OnMouseWheel(int delta);
    virtual int OnChar(int code);
    virtual int OnKeyDown(WPARAM key, LPARAM data);
    virtual int OnKeyUp(WPARAM key, LPARAM data);
    virtual int OnSetFocus();
    virtual int OnKillFocus();
    virtual int OnNotify(WPARAM id, LPARAM header);
    virtual int OnGetMinMaxInfo(LPARAM info);
    virtual int OnUserMessage();
    virtual int OnEraseBackground();
    virtual int OnPaint(HDC dc);
    virtual void UpdateVScrollBar();
    virtual void UpdateHScrollBar();
    virtual void SetVScrollPos(int64_t position);
    virtual void SetHScrollPos(int64_t position);

    // Takes a copy of what the view draws with and repaints it. The new font's measures
    // follow at the next paint, or at once through CLogView::ApplyFont.
    void SetSettings(const CViewSettings& settings);
    const CViewSettings& Settings() const { return m_settings; }

    // For maximum, page and position, -1 keeps the stored value.
    void SetScrollState(bool vertical, int64_t maximum, int64_t page, int64_t position, int32_t step);

    // The class's procedure: finds the object through GWLP_USERDATA.
    static LRESULT CALLBACK StaticWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND Window() const { return m_window; }
    const CScrollState& VScroll() const { return m_vScroll; }
    const CScrollState& HScroll() const { return m_hScroll; }
    int CharWidth() const { return m_charWidth; }
    int LineHeight() const { return m_lineHeight; }
    int RowPitch() const { return m_rowPitch; }
    // The DPI the view draws at: fonts and fixed pixel measures are scaled to it.
    int Dpi() const { return m_dpi; }

protected:
    // Builds the view font from the view's settings, their size being a size at 96 DPI,
    // with the character set of the language.
    HFONT MakeConfiguredFont(int weight = 0) const;
    // A pixel measure given at 96 DPI, at the view's DPI.
    int Scaled(int pixels) const { return ScaleToDpi(pixels, m_dpi); }
    void UpdateScrollBar(bool vertical, int64_t content, int32_t unit, int32_t clientSize, int64_t first);
    void ScrollTo(bool vertical, int64_t position);
    // Moves the window's bar to the state's position (scaled as the state's range needs).
    void ShowScrollPosition(bool vertical);
    int OnScroll(bool vertical, int code);
    // The messages every view handles alike, to their On handlers: the handler's 1/0 (a paint
    // counts as handled), 0 for any other message. Creation, focus and the rest are left to
    // each view's WindowProc.
    int Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    int32_t m_contentWidth = 0;
    int64_t m_contentHeight = 0;
    uint32_t m_firstColumn = 0;
    int64_t m_firstRow = 0;
    int32_t m_charWidth = 0;
    int32_t m_lineHeight = 0;
    int32_t m_rowPitch = 0;
    CScrollState m_hScroll;
    CScrollState m_vScroll;
    uint64_t m_tag = 0;
    uint32_t m_sizeChanged = 0;
    HFONT m_font = nullptr;
    HFONT m_currentFont = nullptr;
    int m_dpi = kDefaultDpi;
    CViewSettings m_settings;
};
