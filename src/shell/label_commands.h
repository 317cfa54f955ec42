// The colour label commands: a selected text takes a label (Ctrl+Shift+1..9, the view's
// context menu), or every label is taken off (Ctrl+Shift+0, Clear).
#pragma once

class CAppMain;
class CLogView;

// Gives label (0..8) the text selected within one row of view, and repaints every view.
// Without such a selection nothing changes (a beep says so).
void ApplyColorLabel(CAppMain& app, CLogView* view, int label);
// Takes every label off and repaints every view.
void ClearColorLabels(CAppMain& app);
