// The frame's toolbar (command buttons, tooltips, the code-page box) and status bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "config/ui_text.h"

struct CToolTipRow {
    int id;
    TextId text;
};

class CToolBar {
public:
    virtual ~CToolBar() {}
    // Creates the toolbar window from the button table at m_dpi, with the button images
    // of the size nearest to it; non-zero on success.
    virtual int Create(HWND parent);
    virtual void Move(const RECT& rectangle);
    // Makes the toolbar again at another DPI, keeping every button's state and the
    // visibility; non-zero on success.
    int ChangeDpi(int dpi);
    // The button image size (16, 24 or 32 pixels) nearest to 16 pixels at dpi.
    static int ImageSize(int dpi);

    // The tooltip text of a command in the language of the interface, or null when it has none.
    const wchar_t* ToolTipText(int id) const;

    HWND m_window = nullptr;
    int m_visible = 1;
    int m_buttonCount = 0;
    const TBBUTTON* m_buttons = nullptr;
    int m_toolTipCount = 0;
    const CToolTipRow* m_toolTips = nullptr;
    // The DPI the toolbar is made for; its pixel sizes are sizes at 96 DPI scaled to it.
    int m_dpi = 96;

protected:
    // Destroys the window and what belongs to it.
    virtual void Destroy();
};

// The code-page box's item data for Auto (the other items carry their code page).
constexpr LPARAM kAutoEncodingItem = 1;

class CAppToolBar : public CToolBar {
public:
    CAppToolBar();
    ~CAppToolBar() override;
    int Create(HWND parent) override;
    // Fills the code-page box with Auto, ANSI and UTF-8 and selects the configuration's
    // choice. With a log open, Auto names the code page it reads the log with.
    void ShowEncoding(bool logOpen);

    HFONT m_comboFont = nullptr;
    HWND m_combo = nullptr;
    bool m_logOpen = false;

protected:
    void Destroy() override;

private:
    // Widens the separator before the Follow button so that the button stands right of the box.
    void PlaceFollowButton();
};

class CStatusBar {
public:
    virtual ~CStatusBar() {}
    // Sets the parts, their right edges (sizes at 96 DPI) scaled to dpi, each part at least
    // as wide as MinPartWidth asks.
    void SetParts(int dpi);
    // The width (pixels at dpi) that part needs for its texts; 0 when its edge is enough.
    virtual int MinPartWidth(int part, int dpi) const {
        (void)part;
        (void)dpi;
        return 0;
    }

    HWND m_window = nullptr;
    int m_visible = 1;
    int m_partCount = 0;
    const int* m_parts = nullptr;
};

class CAppStatusBar : public CStatusBar {
public:
    CAppStatusBar();
    // The follow part fits its longest text in the bar's font.
    int MinPartWidth(int part, int dpi) const override;
};
