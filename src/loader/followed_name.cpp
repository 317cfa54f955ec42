// The rotation check of follow mode. A deleted log whose name opens another file has been
// replaced: on systems that free a deleted name at once the new file is there before the
// old handle is closed, and it must be read, not waited for.
#include "loader/followed_name.h"

CFollowedName CheckFollowedName(const CFile& open, const char16_t* path) {
    bool deleted = open.IsDeleted() != 0;
    CFile probe;
    if (path == nullptr || !probe.Open(path)) return deleted ? CFollowedName::kDeleted : CFollowedName::kUnreadable;
    if (!probe.IsSameFile(open)) return CFollowedName::kReplaced;
    // A delete still pending keeps the name on the old file until its last handle closes.
    return deleted ? CFollowedName::kDeleted : CFollowedName::kSame;
}
