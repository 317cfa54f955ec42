// CConfigColorPage: the settings sheet's colour page: the named colour entries, three
// owner-drawn buttons showing and choosing the selected entry's colours, and whether the
// log's colour codes are drawn as colours. Works on an owned copy of the colour table that
// OnApply writes into the configuration.
#pragma once

#include <cstdint>

#include "config/comm_config.h"
#include "dialogs/dialog.h"

constexpr int kMaxColorRows = 256;

class CConfigColorPage : public CPropertyPage {
    QUILLON_DIALOG_DECLARE(CConfigColorPage)
    // Frees the working colours.
    ~CConfigColorPage() override;
    // Draws the colour buttons itself, then the common page handling.
    INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    // Copies the working colours and the colour-code choice into the configuration and saves.
    void OnApply(HWND window) override;

    // Makes the working copy of the configuration's current colours: 1, or 0 when it
    // cannot be allocated (the page then edits and applies nothing).
    int CopyColors(const CColorEntry* colors, int count);

    int32_t m_selectedEntry = 0;
    int32_t m_selectedRow = 0;
    int32_t m_colorCount = 0;
    CColorEntry* m_colors = nullptr;
    COLORREF m_customColors[16] = {};
    int32_t m_applied = 0;

private:
    // Enables the text and background controls, or the line controls for a line-only name.
    void EnableForRow(int row);
    // Whether the selected row's name is line-only (0 when there is no such name).
    bool SelectedRowIsLineOnly() const;
    void DrawColorButton(const DRAWITEMSTRUCT* item);
    // Lets the user choose a new value for *color; true when one was chosen.
    bool ChooseColorFor(CColorRef* color);
};
