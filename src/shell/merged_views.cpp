// The views of a merged set following a change of its rows. Every view of rows of several
// logs is one of the set's, and each such view's rows are a merged source (CMergedSource).
#include "shell/merged_views.h"

#include "merge/merged_sources.h"
#include "shell/view_list.h"
#include "view/event_listener.h"
#include "view/log_view.h"

void ShowMergeChange(CViewList& views, const CMergeChange& change, CAppEventListener* listener) {
    for (const auto& owned : views) {
        CLogView* view = owned.get();
        if (view->RowLogs() == nullptr) continue;
        const auto* source = static_cast<const CMergedSource*>(view->RowLogs());
        std::unique_ptr<CRowMoves> moves = source->FollowChange(change);
        // Without memory for the moves the view keeps its place as rows, which is all it can do.
        auto rowNow = [&](int64_t row) { return moves != nullptr ? moves->RowNow(row) : row; };
        // Every row is numbered by its merged row, so the panes count again from the first
        // merged row that moved; keys that changed (another offset) change every row's time.
        int64_t first = moves != nullptr && !change.Rekeyed() ? moves->First() : 0;
        CLineNumber fromLine(change.Rekeyed() ? 0 : change.First());
        view->RowsMoved(first, rowNow, fromLine);
        if (view->m_active) listener->OnViewStateChanged(view);
    }
}
