// The frame's toolbar (command buttons, tooltips, the code-page box) and status bar.
#pragma once

#include <windows.h>
#include <commctrl.h>

struct CToolTipRow {
    int id;
    const wchar_t* english;
    const wchar_t* japanese;
};

class CToolBar {
public:
    virtual ~CToolBar() {}
    // Creates the toolbar window from the button table; non-zero on success.
    virtual int Create(HWND parent);
    virtual void Move(const RECT& rectangle);

    // The tooltip text of a command in the language, or null when it has none.
    const wchar_t* ToolTipText(int id, int language) const;

    HWND m_window = nullptr;
    int m_visible = 1;
    int m_buttonCount = 0;
    const TBBUTTON* m_buttons = nullptr;
    int m_toolTipCount = 0;
    const CToolTipRow* m_toolTips = nullptr;
};

class CAppToolBar : public CToolBar {
public:
    CAppToolBar();
    ~CAppToolBar() override;
    int Create(HWND parent) override;

    HFONT m_comboFont = nullptr;
    HWND m_combo = nullptr;
};

class CStatusBar {
public:
    virtual ~CStatusBar() {}
    HWND m_window = nullptr;
    int m_visible = 1;
    int m_partCount = 0;
    const int* m_parts = nullptr;
};

class CAppStatusBar : public CStatusBar {
public:
    CAppStatusBar();
};
