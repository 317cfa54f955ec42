// Finding a log's rotated siblings among the names of its folder: `name.1`, `name.2`, ...,
// `name-YYYYMMDD` and `name.YYYY-MM-DD`, the forms logrotate and most services leave.
// Names compare ignoring the case of ASCII letters, as the file systems of Windows do.
#pragma once

#include <string>
#include <vector>

// The log and its rotated siblings among names (a folder's file names, any order), in the
// order to merge them: the dated ones oldest first, then the numbered ones highest (oldest)
// first, the log itself last; at most maxLogs names, the oldest left out. A chosen name that
// is itself a rotated one of a log in names stands for that log. withCompressed: members
// ending in ".gz" count too (the viewer reads them; a caller that cannot leaves them out),
// except beside a plain file of the same place.
std::vector<std::u16string> RotatedLogSet(const std::u16string& chosen, const std::vector<std::u16string>& names,
                                          int maxLogs, bool withCompressed = false);
