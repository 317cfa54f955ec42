// CConfigDialog: the settings property sheet with the interval, font and colour pages.
// Pages that were shown write their values into the configuration and save it on OK;
// Cancel discards them. The opener repaints the views afterwards, whichever way it closed.
#pragma once

#include "dialogs/config_color_page.h"
#include "dialogs/config_font_page.h"
#include "dialogs/config_page1.h"
#include "dialogs/config_page2.h"
#include "dialogs/dialog.h"

class CConfigDialog : public CPropertySheet {
public:
    // Prepares the pages' working copies from the configuration and runs the sheet
    // modally over frame. Returns what PropertySheetW returns (-1 when it could not run).
    INT_PTR Run(HWND frame);

    CConfigPage1 m_page1;
    // Not placed in the sheet.
    CConfigPage2 m_page2;
    CConfigFontPage m_fontPage;
    CConfigColorPage m_colorPage;
};
