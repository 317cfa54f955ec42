// The search, extraction and error-log commands: the dialogs and the selection that give
// the condition, and the scans they hand to the runner through the application.
#pragma once

#include <string>

#include "search/search_condition.h"

class CAppMain;
class CLogView;

// Where an extraction takes its condition from.
enum class CExtractFrom { kDialog, kSelection };

// The text of a made selection within one row; empty for none, one over several rows, or
// columns outside the row's text.
std::u16string SelectionInOneRow(CLogView* view);
// Makes a selection within one line the only search text (saved in the history);
// 1 when the view had a selection to take, else 0. The condition is cleared either way.
int UseSelectionAsCondition(CAppMain& app, CLogView* view);
// The search dialog, then a search from the caret in the direction it chose.
void RunSearchDialog(CAppMain& app, CLogView* view);
// Previous/Next Search: from the row beside the caret; without a condition, the dialog.
void SearchAgain(CAppMain& app, CLogView* view, CSearchDirection direction);
// Extraction (the dialog) and Selection Extraction (the selection): a new view of the hits.
void Extract(CAppMain& app, CExtractFrom from);
// View > Hide Matching Rows: the dialog's texts, each a "not" text, extracted without
// context rows into a new view (from the active view, an extraction too).
void HideMatchingRows(CAppMain& app);
// The error-line list in a view of its own.
void ShowErrorLog(CAppMain& app);
// Checks Highlight Search and sets it on the view.
void SetHighlightSearchState(CAppMain& app, CLogView* view, bool on);
// Whether the scans can read a view's rows: a list of one file, or rows of several logs.
bool Scannable(const CLogView* view);
// Highlights and activates a view just made for an extraction or the error log.
void ShowNewView(CAppMain& app, CLogView* created);
