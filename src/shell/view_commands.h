// The commands on the rows of the active view that need no scan: markers, the jump and
// marker list dialogs, and the clipboard copy. Each does nothing without a view.
#pragma once

#include <cstdint>

class CAppMain;
class CLogView;

// Sets or removes the marker of the caret row.
void ToggleMarker(CAppMain& app, CLogView* view);
// The caret to the next (or previous) marked row, wrapping around at the ends.
void GoToMarker(CLogView* view, bool forward);
// The jump dialog; in a merged view it also takes "name:line" (MergedRowOfLine).
void RunJumpDialog(CAppMain& app, CLogView* view);
// The merged row of line (from 0) of the merged log whose file name is name (length
// units); -1 for no such log or line.
int64_t MergedRowOfLine(CAppMain& app, const char16_t* name, int length, int64_t line);
void RunMarkerListDialog(CAppMain& app, CLogView* view);
// Copies the active view's selection to the clipboard (in the background when large).
void CopySelection(CAppMain& app);
// View > Timeline: hides the view's timeline pane, or counts its rows (in the background
// when many) and shows it.
void ToggleTimeline(CAppMain& app, CLogView* view);
// Counts the view's timeline afresh (in the background for many rows); the pane shows it.
void CountTimeline(CAppMain& app, CLogView* view);
