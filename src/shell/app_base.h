// CAppBase: the application framework: window classes, the MDI frame with its client,
// toolbar and status bar, the message loop, and the base commands and services.
// UI thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>

#include "shell/tool_bar.h"
#include "view/event_listener.h"

class CAppBase {
public:
    CAppBase();
    virtual int Run(HINSTANCE instance, HINSTANCE previous, const wchar_t* commandLine, int showCommand);
    virtual LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnCreate(HWND window, CREATESTRUCTW* create);
    virtual void OnClose(HWND window);
    virtual void OnDestroy();
    virtual void OnSize(RECT* rectangle, int width, int height);
    virtual LRESULT OnNotify(int id, NMHDR* header);
    virtual void OnCommand(int id, int code);
    virtual int OnDropFiles(HDROP drop, wchar_t* buffer, int capacity);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnChildClosed(HWND window);
    virtual void CloseMainWindow();
    virtual void ShowHelp();
    virtual INT_PTR ShowAbout();
    virtual void ToggleToolBar();
    virtual void ToggleStatusBar();
    virtual int ChooseLanguage(bool atStartUp);
    virtual void TileHorizontal();
    virtual void TileVertical();
    virtual void Cascade();
    virtual void CloseAllChildren();
    // The frame moved to a display of another scale: the MDI children follow it.
    virtual void OnChildrenDpiChanged(int) {}
    virtual LRESULT MDIChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void ActivateChild(HWND window);
    virtual int InitInstance(HINSTANCE instance);
    // Shows the frame with the start's show command. The MDI client is always shown
    // normally: minimised it would become an icon nothing restores, maximised it would
    // cover the toolbar and the status bar.
    void ShowFrame(int showCommand);
    virtual void ExitInstance(HINSTANCE instance);
    virtual int FindPreviousInstance();
    virtual void ProcessCommandLine(const wchar_t* commandLine);
    virtual int CanClose();
    virtual void CheckCommand(int id, bool checked);
    virtual void EnableCommand(int id, bool enabled);
    // The message loop's keyboard translation of one message: the MDI system keys
    // (Ctrl+F4, Ctrl+F6), then the accelerator table. True when msg became a command
    // and must not be dispatched.
    bool TranslateAccelerators(MSG* msg);
    // False when the command's menu item (or, without one, its toolbar button) is greyed.
    bool IsCommandEnabled(int id) const;

    // Enables or greys a top-level menu by its position in the menu resource (a maximised
    // view's window menu before it is allowed for) and redraws the menu bar.
    void EnableTopMenu(int position, bool enabled);
    // Lays the frame out again from its client size.
    void Relayout();
    // The frame moved to a display of another scale (WM_DPICHANGED): the bars and every
    // view follow the new DPI, and the frame takes the suggested rectangle (when given).
    void ChangeDpi(int dpi, const RECT* suggested);
    // The DPI the frame, its bars and its views are laid out for.
    int Dpi() const { return m_dpi; }

    HINSTANCE Instance() const { return m_instance; }
    HWND Frame() const { return m_frame; }
    HWND MdiClient() const { return m_mdiClient; }
    CToolBar* ToolBar() const { return m_toolBar; }
    CStatusBar* StatusBar() const { return m_statusBar; }

protected:
    void CreateBars(HWND frame);
    void ApplyBarVisibility(HWND bar, int* visible, int switchable, int setting, int menuId);
    // Shows or hides a bar, checks its View item, saves the setting and lays the frame out.
    void ToggleBar(HWND bar, int* visible, int32_t* setting, int menuId);

    int m_windowMode = 2;
    HINSTANCE m_instance = nullptr;
    HWND m_frame = nullptr;
    HACCEL m_accelerators = nullptr;  // IDR_ACCELERATORS, loaded with the frame
    HWND m_mdiClient = nullptr;
    DWORD_PTR m_helpCookie = 0;
    CToolBar* m_toolBar = nullptr;
    CStatusBar* m_statusBar = nullptr;
    int m_allowMultipleInstances = 0;
    int m_dpi = 96;
};

// The one application object; the frame and MDI child procedures reach it through this.
CAppBase* GetApp();
void SetApp(CAppBase* app);
