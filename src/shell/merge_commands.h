// The commands that open several logs as one view ordered by time: File > Open Logs Merged
// (the open dialog with multiple selection) and File > Open with Rotated Files (a log and
// its rotated siblings in its folder), and the paths a multiple selection returns.
#pragma once

#include <string>
#include <vector>

class CAppMain;

void OpenLogsMerged(CAppMain& app);
void OpenWithRotatedFiles(CAppMain& app);
// The paths of a multiple-selection open dialog's buffer: a folder and its file names,
// each ended by a NUL, then a NUL; or one path when one file was chosen.
std::vector<std::u16string> SelectedPaths(const char16_t* buffer);
