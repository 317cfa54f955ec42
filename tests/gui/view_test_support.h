// Helpers of the log-view and loading GUI tests: writing logs, opening them and waiting
// for the load, painting a view into a bitmap, and pointing at cells and rows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "gui_harness.h"

class CLogView;

// The view made after view in the application's list, or null.
CLogView* ViewAfter(const CLogView* view);

// A view painted into a 32-bit top-down bitmap of its client size.
struct ViewPicture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB
    // The pixel as a COLORREF (0x00BBGGRR).
    COLORREF At(int x, int y) const;
    // Pixels of colour c inside [left, right) x [top, bottom).
    int Count(COLORREF c, int left, int top, int right, int bottom) const;
    // Leftmost and rightmost x of colour c in [from, to) x [top, bottom); false when absent.
    bool Span(COLORREF c, int from, int top, int to, int bottom, int* left, int* right) const;
};

class ViewTest : public GuiTest {
protected:
    // Starts the application in a language with a fixed frame size.
    void Start(int language = 0);
    // Writes text to a file of the test folder and returns its path.
    std::wstring WriteLog(const std::string& name, const std::string& text);
    // Opens a log and waits until its first view holds the index; null on a timeout.
    CLogView* OpenAndWait(const std::wstring& path);
    // Pumps messages until done() or the deadline; returns done().
    bool PumpUntil(const std::function<bool()>& done, int milliseconds = 30000);
    // Gives the view's MDI window a client area of about width x height.
    void SizeView(CLogView* view, int width, int height);
    ViewPicture Paint(CLogView* view);

    // Client coordinates of the middle of a cell and of a window row (0 = first row under the header).
    int CellX(CLogView* view, int cell);
    int RowY(CLogView* view, int windowRow);
    void Click(CLogView* view, UINT message, int x, int y, WPARAM keys = 0);
    std::wstring StatusText(int part);
    // Sets a colour-table entry of the configuration and hands it to the open views.
    void SetColor(int entry, COLORREF text, COLORREF background);
    std::wstring ClipboardText();
    void ClearClipboard();
    void SetClipboard(const std::wstring& text);
};
