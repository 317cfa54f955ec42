// What the views of a merged set do when its merged rows change in place (followed logs'
// rows merged in, a log's time offset changed): each view's rows follow their rows.
#pragma once

#include "merge/merge_change.h"

class CAppEventListener;
class CViewList;

// Every view of the set takes the change: the merged view's caret, first row and markers stay
// on their rows, an extraction's rows take their rows now, the error log the error rows now.
// The set's error rows have taken it already (CMergedLogs). UI thread.
void ShowMergeChange(CViewList& views, const CMergeChange& change, CAppEventListener* listener);
