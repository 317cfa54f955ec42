// The keyword list command (IDM_SETTING_HIGHLIGHT) and the settings sheet command (IDM_SETTING) of CAppMain.
#include "config/app_parameter.h"
#include "dialogs/config_dialog.h"
#include "dialogs/keyword_list_dialog.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"

void CAppMain::EditKeywords() {
    CAppParameter& config = AppConfig();
    CKeywordListDialog dialog;
    dialog.Keywords().CopyFrom(config.Keywords());
    if (RunDialog(dialog, IDD_KEYWORD_LIST_JA, m_frame) != 1) return;
    // OK has put the dialog's set in force: the user's own, so it may replace the file.
    config.KeywordsChanged();
    config.Save();
    config.Keywords().BuildFlagTable();
    RedrawAllViews();
}

void CAppMain::EditSettings() {
    CConfigDialog dialog;
    dialog.Run(m_frame);
    // The font may have changed: every view takes the settings and measures it again.
    ApplyViewSettings();
    for (const auto& v : m_viewList) v->ApplyFont();
}
