// The command table's handlers: each runs one command through the application's entry
// points, on the active view where it acts on one.
#include "shell/command_table.h"

#include <windows.h>
#include <commdlg.h>

#include "config/dark_colors.h"
#include "config/ui_text.h"
#include "foundation/wide.h"
#include "shell/about_dialog.h"
#include "shell/app_main.h"
#include "shell/follow_commands.h"
#include "shell/merge_commands.h"
#include "shell/label_commands.h"
#include "shell/search_commands.h"
#include "shell/settings_commands.h"
#include "shell/time_commands.h"
#include "shell/view_commands.h"
#include "shell/recent_menu.h"
#include "shell/row_saver.h"
#include "view/log_view.h"
#include "winui/file_dialog.h"

namespace {

// The open-file dialog; returns true with a non-empty path.
bool AskForLogFile(HWND owner, wchar_t* path, int capacity) {
    OPENFILENAMEW ofn =
        FileDialogFields(owner, W(UiText(TextId::kOpenLogFilter)), path, capacity, W(UiText(TextId::kOpenLogTitle)));
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    ofn.lpstrDefExt = L"ini";
    return GetOpenFileNameW(&ofn) && path[0] != 0;
}

template <typename Dialog>
void RunInertDialog(int templateId, HWND owner) {
    Dialog dialog;
    RunDialog(dialog, templateId, owner);
}

void OpenLog(CAppMain& app, CLogView*, int, int) {
    if (app.LogOpen()) return;
    wchar_t path[262] = {};
    if (AskForLogFile(app.Frame(), path, 262)) app.OpenLogFile(path);
}

void OpenMerged(CAppMain& app, CLogView*, int, int) { OpenLogsMerged(app); }
void OpenRotated(CAppMain& app, CLogView*, int, int) { OpenWithRotatedFiles(app); }

void CloseLog(CAppMain& app, CLogView*, int, int) { app.CloseEverything(); }
void OpenRecent(CAppMain& app, CLogView*, int id, int) { OpenRecentLog(app, id); }
void SaveRows(CAppMain& app, CLogView* view, int, int) { SaveRowsAs(app, view); }
// The frame's own commands: bars, windows, help, language, About and Exit.
void Base(CAppMain& app, CLogView*, int id, int code) { app.CAppBase::OnCommand(id, code); }
void Copy(CAppMain& app, CLogView*, int, int) { CopySelection(app); }
void SaveCsv(CAppMain& app, CLogView*, int, int) { RunInertDialog<CCSVFileDialog>(IDD_CSV_FILE_JA, app.Frame()); }
void Compare(CAppMain& app, CLogView*, int, int) { RunInertDialog<CCompareLogDialog>(IDD_COMPARE_LOG_JA, app.Frame()); }
void Nothing(CAppMain&, CLogView*, int, int) {}
void Follow(CAppMain& app, CLogView*, int, int) { ToggleFollow(app); }
void Overview(CAppMain& app, CLogView*, int, int) { ToggleOverview(app); }
void LogTimeOffset(CAppMain& app, CLogView*, int, int) { ChangeLogTimeOffsets(app); }
void Timeline(CAppMain& app, CLogView* view, int, int) { ToggleTimeline(app, view); }
void WrapLines(CAppMain& app, CLogView*, int, int) { ToggleWrapLines(app); }
void DarkTheme(CAppMain& app, CLogView*, int id, int) {
    ChooseDarkTheme(
        app, id == IDM_DARK_THEME_ON ? kDarkThemeOn : (id == IDM_DARK_THEME_OFF ? kDarkThemeOff : kDarkThemeSystem));
}
void CodePage(CAppMain& app, CLogView*, int, int code) { ChooseEncoding(app, code); }
void EditKeywords(CAppMain& app, CLogView*, int, int) { ::EditKeywords(app); }
void EditSettings(CAppMain& app, CLogView*, int, int) { ::EditSettings(app); }
void Search(CAppMain& app, CLogView* view, int, int) { RunSearchDialog(app, view); }
void SearchPrevious(CAppMain& app, CLogView* view, int, int) { SearchAgain(app, view, CSearchDirection::kPrevious); }
void SearchNext(CAppMain& app, CLogView* view, int, int) { SearchAgain(app, view, CSearchDirection::kNext); }

// Then as Previous/Next Search: a selection that gave no condition (it spans rows) leaves
// the condition empty, and the search dialog opens.
void SelectionSearch(CAppMain& app, CLogView* view, int id, int) {
    UseSelectionAsCondition(app, view);
    SearchAgain(app, view, id == IDM_SELECTION_SEARCH_NEXT ? CSearchDirection::kNext : CSearchDirection::kPrevious);
}

void HighlightSearch(CAppMain& app, CLogView* view, int, int) {
    if (view == nullptr) return;
    SetHighlightSearchState(app, view, view->HighlightSearch() == 0);
    view->Invalidate();
}

void Extraction(CAppMain& app, CLogView*, int, int) { Extract(app, CExtractFrom::kDialog); }
void SelectionExtraction(CAppMain& app, CLogView*, int, int) { Extract(app, CExtractFrom::kSelection); }
void ErrorLog(CAppMain& app, CLogView*, int, int) { ShowErrorLog(app); }
void HideRows(CAppMain& app, CLogView*, int, int) { HideMatchingRows(app); }

void JumpTop(CAppMain&, CLogView* view, int, int) {
    if (view != nullptr) view->GoToLine(0);
}

void JumpEnd(CAppMain&, CLogView* view, int, int) {
    if (view != nullptr && view->HasRows()) view->GoToLine(view->Rows().Count());
}

void Jump(CAppMain& app, CLogView* view, int, int) { RunJumpDialog(app, view); }
void ToggleMarker(CAppMain& app, CLogView* view, int, int) { ::ToggleMarker(app, view); }
void PreviousMarker(CAppMain&, CLogView* view, int, int) { GoToMarker(view, false); }
void NextMarker(CAppMain&, CLogView* view, int, int) { GoToMarker(view, true); }

void ClearMarkers(CAppMain& app, CLogView* view, int, int) {
    if (view == nullptr) return;
    view->Markers().Clear();
    view->Invalidate();
    app.OnViewStateChanged(view);
}

void MarkerList(CAppMain& app, CLogView* view, int, int) { RunMarkerListDialog(app, view); }
void JumpTime(CAppMain& app, CLogView* view, int, int) { RunJumpTimeDialog(app, view); }
void NextError(CAppMain& app, CLogView* view, int, int) { GoToErrorLine(app, view, true); }
void PreviousError(CAppMain& app, CLogView* view, int, int) { GoToErrorLine(app, view, false); }
void NextSlow(CAppMain& app, CLogView* view, int, int) { GoToSlowInterval(app, view, true); }
void PreviousSlow(CAppMain& app, CLogView* view, int, int) { GoToSlowInterval(app, view, false); }

void SelectAll(CAppMain&, CLogView* view, int, int) {
    if (view != nullptr) view->SelectAll();
}

void ColorLabel(CAppMain& app, CLogView* view, int id, int) { ApplyColorLabel(app, view, id - IDM_LABEL_1); }
void ClearLabels(CAppMain& app, CLogView*, int, int) { ClearColorLabels(app); }

// As the window's close box: the view reports its closing to the frame.
void CloseView(CAppMain&, CLogView* view, int, int) {
    if (view != nullptr && view->Window() != nullptr) SendMessageW(view->Window(), WM_CLOSE, 0, 0);
}

}  // namespace

#define QUILLON_COMMAND_ROW(id, handler, needs, readsLog, inMenu) {id, handler, CNeeds::needs, readsLog},
const CCommand kCommands[] = {QUILLON_COMMANDS(QUILLON_COMMAND_ROW)};
#undef QUILLON_COMMAND_ROW
const int kCommandCount = static_cast<int>(sizeof kCommands / sizeof kCommands[0]);

const CCommand* FindCommand(int id) {
    for (const CCommand& command : kCommands) {
        if (command.id == id) return &command;
    }
    return nullptr;
}

bool IsEnabledIn(const CCommand& command, const CCommandState& state) {
    if (command.readsLog && state.busy) return false;
    switch (command.needs) {
        case CNeeds::kNothing:
            return true;
        case CNeeds::kNoLog:
            return !state.logOpen;
        case CNeeds::kLog:
            return state.viewOpen;
        case CNeeds::kSelection:
            return state.selection;
        case CNeeds::kLines:
            return state.lines;
        case CNeeds::kMarkers:
            return state.lines && state.markers;
        case CNeeds::kStamps:
            return state.lines && state.stamps;
        case CNeeds::kErrorLines:
            return state.lines && state.errorLines;
        case CNeeds::kSlowRows:
            return state.lines && state.stamps && state.intervalCheck;
        case CNeeds::kFollowable:
            return state.followable;
        case CNeeds::kMerged:
            return state.merged;
        case CNeeds::kNever:
            return false;
    }
    return false;
}
