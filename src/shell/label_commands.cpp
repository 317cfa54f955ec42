// The colour label commands.
#include "shell/label_commands.h"

#include <string>

#include "config/color_labels.h"
#include "shell/app_main.h"
#include "shell/search_commands.h"
#include "view/log_view.h"

namespace {

void RepaintViews(CAppMain& app) {
    for (const auto& v : app.Views()) v->Invalidate();
}

}  // namespace

void ApplyColorLabel(CAppMain& app, CLogView* view, int label) {
    std::u16string text = SelectionInOneRow(view);
    // A drag past the row's end takes its line break too, which the view never shows.
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
    if (text.empty() || !app.Labels().Set(label, text.c_str(), static_cast<int>(text.size()))) {
        MessageBeep(MB_OK);
        return;
    }
    // The label's colour shows where the selection stood.
    view->ClearSelection();
    app.OnViewStateChanged(view);
    RepaintViews(app);
}

void ClearColorLabels(CAppMain& app) {
    app.Labels().Clear();
    RepaintViews(app);
}
