// The keyword list command and the settings sheet command.
#include "shell/settings_commands.h"

#include "config/app_parameter.h"
#include "dialogs/config_dialog.h"
#include "dialogs/keyword_list_dialog.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"

void EditKeywords(CAppMain& app) {
    CAppParameter& config = AppConfig();
    CKeywordListDialog dialog;
    dialog.Keywords().CopyFrom(config.Keywords());
    if (RunDialog(dialog, IDD_KEYWORD_LIST_JA, app.Frame()) != 1) return;
    // OK has put the dialog's set in force: the user's own, so it may replace the file.
    config.KeywordsChanged();
    config.Save();
    config.Keywords().BuildFlagTable();
    app.Views().RedrawAll();
}

void EditSettings(CAppMain& app) {
    CConfigDialog dialog;
    dialog.Run(app.Frame());
    // The font may have changed: every view takes the settings and measures it again.
    app.ApplyViewSettings();
    for (const auto& v : app.Views()) v->ApplyFont();
    app.Views().RedrawAll();
    // The slow-interval steps follow the interval check.
    app.UpdateCommandState();
}

void FlipSetting(CAppMain& app, int32_t* setting, int command) {
    *setting = *setting != 0 ? 0 : 1;
    AppConfig().Save();
    app.CheckCommand(command, *setting != 0);
}

void ToggleOverview(CAppMain& app) {
    FlipSetting(app, &AppConfig().m_overview, IDM_OVERVIEW);
    app.ApplyViewSettings();
    for (const auto& v : app.Views()) v->UpdateOverview();
}

void ToggleWrapLines(CAppMain& app) {
    FlipSetting(app, &AppConfig().m_wrapLines, IDM_WRAP_LINES);
    app.ApplyViewSettings();
    for (const auto& v : app.Views()) v->ApplyWrap();
}

void ChooseDarkTheme(CAppMain& app, int choice) {
    CAppParameter& config = AppConfig();
    if (config.m_darkTheme != choice) {
        config.m_darkTheme = choice;
        config.Save();
    }
    app.ApplyTheme();
}
