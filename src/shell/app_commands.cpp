// CAppMain::OnCommand: dispatch of menu, toolbar, combo-box and context-menu commands
// through the command table, and the menu and toolbar state derived from it.
#include "config/app_parameter.h"
#include "search/row_navigation.h"
#include "shell/app_main.h"
#include "shell/command_table.h"
#include "view/log_view.h"

namespace {

constexpr int kSearchMenuPosition = 1;

}  // namespace

void CAppMain::OnCommand(int id, int code) {
    if (id == IDCANCEL) id = IDM_EXIT;  // sent by the system: taken as Exit
    // Accelerators and queued messages reach here even while the commands are greyed.
    // An append being indexed is let finish first; closing cancels it instead.
    bool closing = id == IDM_CLOSE || id == IDM_CLOSE_ALL || id == IDM_EXIT;
    if (!closing) m_runner.SettleQuiet();
    const CCommand* command = FindCommand(id);
    if (command == nullptr) {
        DefWindowProcW(m_frame, WM_COMMAND, MAKEWPARAM(id, code), 0);
        return;
    }
    if (m_runner.Busy() && command->readsLog) return;
    // A shortcut (code 1) follows the menu state: a greyed command does nothing.
    if (code == 1 && !IsCommandEnabled(id)) return;
    command->run(*this, m_viewList.Active(), id, code);
}

void CAppMain::UpdateCommandState() {
    CLogView* view = m_viewList.Active();
    CCommandState state;
    state.logOpen = LogOpen();
    state.viewOpen = !m_viewList.Empty();
    state.lines = view != nullptr && view->HasRows();
    state.markers = state.lines && view->Markers().Count() > 0;
    state.selection = view != nullptr && view->SelectionState() == CSelectionMode::kMade;
    state.stamps = state.lines && RowsHaveStamps(view->Rows());
    state.errorLines = ErrorRows().Count() > 0;
    state.intervalCheck = AppConfig().m_intervalCheck != 0;
    state.followable = !m_logFile.IsOpen() || m_logFile.CanFollow();
    state.merged = m_merged != nullptr && m_merged->Merged();
    state.busy = m_runner.Busy() && !m_runner.Current()->Quiet();
    ForEachCommand([&](const CCommand& command) {
        if (command.needs != CNeeds::kNothing || command.readsLog)
            EnableCommand(command.id, IsEnabledIn(command, state));
    });
    CheckCommand(IDM_HIGHLIGHT_SEARCH, state.lines && view->HighlightSearch() != 0);
    CheckCommand(IDM_TIMELINE, view != nullptr && view->TimelinePane() != nullptr);
    // Redrawing the menu bar costs: only when its Search menu changes.
    if (m_searchMenuEnabled != state.viewOpen) {
        m_searchMenuEnabled = state.viewOpen;
        EnableTopMenu(kSearchMenuPosition, state.viewOpen);
    }
}

void CAppMain::OnViewStateChanged(CLogView*) { UpdateCommandState(); }

void CAppMain::EnableLogCommands(bool) { UpdateCommandState(); }
