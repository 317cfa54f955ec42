// Building and running the settings property sheet.
#include "dialogs/config_dialog.h"

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "winui/window_instance.h"

INT_PTR CConfigDialog::Run(HWND frame) {
    CAppParameter& config = AppConfig();
    HPROPSHEETPAGE pages[3] = {};
    UINT count = 0;

    CConfigPage1::s_instance = &m_page1;
    pages[count] = m_page1.Create(frame, IDD_CONFIG_PAGE1_JA, CConfigPage1::StaticProc);
    if (pages[count] != nullptr) ++count;

    m_fontPage.SetFaceName(config.GetFontFace());
    m_fontPage.m_size = config.GetFontSize();
    CConfigFontPage::s_instance = &m_fontPage;
    pages[count] = m_fontPage.Create(frame, IDD_CONFIG_FONT_JA, CConfigFontPage::StaticProc);
    if (pages[count] != nullptr) ++count;

    m_colorPage.CopyColors(config.m_colors, config.m_colorCount);
    CConfigColorPage::s_instance = &m_colorPage;
    pages[count] = m_colorPage.Create(frame, IDD_CONFIG_COLOR_JA, CConfigColorPage::StaticProc);
    if (pages[count] != nullptr) ++count;

    INT_PTR result = -1;
    if (count > 0) {
        PROPSHEETHEADERW header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_NOAPPLYNOW;
        header.hwndParent = frame;
        header.hInstance = InstanceOf(frame);
        header.pszCaption = W(UiText(TextId::kSettingsCaption));
        header.nPages = count;
        header.nStartPage = 0;
        header.phpage = pages;
        result = PropertySheetW(&header);
    }
    CConfigPage1::s_instance = nullptr;
    CConfigFontPage::s_instance = nullptr;
    CConfigColorPage::s_instance = nullptr;
    return result;
}
