// Moving through the active view by time and by trouble: Jump to Time, the next or previous
// row holding an error line, the next or previous slow interval. Each does nothing without
// a view with rows; one that finds nothing leaves the caret where it is.
#pragma once

class CAppMain;
class CLogView;

// Asks for a time and moves the caret to the first row whose stamp is at or after it; says
// so when no row is.
void RunJumpTimeDialog(CAppMain& app, CLogView* view);
// The caret to the next (forward) or previous row holding an error line of the log.
void GoToErrorLine(CAppMain& app, CLogView* view, bool forward);
// The caret to the next or previous row whose interval reaches the interval check's threshold.
void GoToSlowInterval(CAppMain& app, CLogView* view, bool forward);
