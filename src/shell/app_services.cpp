// The framework's small services: the About box and the choice of language.
#include <windows.h>

#include "config/app_parameter.h"
#include "shell/about_dialog.h"
#include "shell/app_base.h"
#include "res/resource.h"

INT_PTR CAppBase::ShowAbout() {
    CAboutDialog dialog;
    return RunDialog(dialog, IDD_ABOUT_JA, m_frame);
}

int CAppBase::ChooseLanguage(bool atStartUp) {
    CAppParameter& config = AppConfig();
    CChooseLanguageDialog dialog;
    int setting = config.m_languageSetting;
    if (setting == 0 || setting == 1) {
        dialog.m_selection = setting;
        dialog.m_labelLanguage = config.m_language;
    } else {
        bool japaneseUser = GetUserDefaultLangID() == 1041;
        dialog.m_selection = japaneseUser ? 1 : 0;
        dialog.m_labelLanguage = japaneseUser ? 1 : 0;
    }
    // In the language its labels are to be read in, which may not be the one in force.
    INT_PTR result = RunDialog(dialog, IDD_CHOOSE_LANGUAGE_JA, m_frame, dialog.m_labelLanguage);
    if (atStartUp || result == 1) {
        if (atStartUp) config.m_language = dialog.m_selection;
        config.m_languageSetting = dialog.m_selection;
        config.Save();
    }
    return dialog.m_selection;
}
