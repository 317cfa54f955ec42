// What became of the name of a followed log: it may still lead to the open file, lead to
// another one (a rotation, or a deletion and a new file under the name), or to nothing yet.
#pragma once

#include "document/file.h"

enum class CFollowedName {
    kSame,        // the name opens the open file
    kReplaced,    // the name opens another file: read the log again
    kDeleted,     // the open file is deleted and the name opens nothing else (yet)
    kUnreadable,  // the file is there but the name cannot be opened now
};

// Opens path (UTF-16) and compares what it opens with the open file.
CFollowedName CheckFollowedName(const CFile& open, const char16_t* path);
