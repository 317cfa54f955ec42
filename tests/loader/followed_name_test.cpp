// The rotation check of follow mode: a renamed log, and a deleted log whose name comes back
// with a new file, must both be read again; a deleted name alone is waited for.
#include "loader/followed_name.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

TEST(FollowedNameTest, RotationAndDeletionThenRecreationAreTold) {
    TempDir dir;
    WriteBytes(dir.FsPath("app.log"), "one\n");
    CFile log;
    ASSERT_EQ(1, log.Open(dir.File("app.log").c_str()));
    EXPECT_EQ(CFollowedName::kSame, CheckFollowedName(log, dir.File("app.log").c_str()));
    std::filesystem::rename(dir.FsPath("app.log"), dir.FsPath("app.log.1"));
    EXPECT_EQ(CFollowedName::kUnreadable, CheckFollowedName(log, dir.File("app.log").c_str()));
    WriteBytes(dir.FsPath("app.log"), "two\n");
    EXPECT_EQ(CFollowedName::kReplaced, CheckFollowedName(log, dir.File("app.log").c_str()));
#if !defined(_WIN32)
    // Where a deleted name is free at once (POSIX, and Windows 10 and later), the new file
    // under the name is there while the old one is still open.
    CFile current;
    ASSERT_EQ(1, current.Open(dir.File("app.log").c_str()));
    std::filesystem::remove(dir.FsPath("app.log"));
    EXPECT_EQ(CFollowedName::kDeleted, CheckFollowedName(current, dir.File("app.log").c_str()));
    WriteBytes(dir.FsPath("app.log"), "three\n");
    EXPECT_EQ(CFollowedName::kReplaced, CheckFollowedName(current, dir.File("app.log").c_str()));
#endif
}
