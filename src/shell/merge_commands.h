// The commands that open several logs as one view ordered by time: File > Open Logs Merged
// (the open dialog with multiple selection) and File > Open with Rotated Files (a log and
// its rotated siblings in its folder), and the paths a multiple selection returns; and
// View > Log Time Offset for such a set.
#pragma once

#include <string>
#include <vector>

class CAppMain;

void OpenLogsMerged(CAppMain& app);
void OpenWithRotatedFiles(CAppMain& app);
// View > Log Time Offset: the minutes added to each merged log's times, asked in a dialog;
// the logs are then merged again on the runner and the views keep their rows.
void ChangeLogTimeOffsets(CAppMain& app);
// The paths of a multiple-selection open dialog's buffer: a folder and its file names,
// each ended by a NUL, then a NUL; or one path when one file was chosen.
std::vector<std::u16string> SelectedPaths(const char16_t* buffer);
