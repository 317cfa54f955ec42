// A log's rotated siblings among its folder's names: which names belong, their order
// (oldest first, the log last), a rotated name chosen, the limit, and the ".gz" hook.
#include "merge/rotated_logs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::u16string>;

TEST(RotatedLogsTest, SiblingsComeOldestFirstAndOnlyTheRotationFormsBelong) {
    Names folder = {
        u"app.log.2",        u"other.log.1",        u"app.log",           u"app.log.10",       u"APP.LOG.1",
        u"app.log-20240102", u"app.log.2024-01-01", u"app.log.old",       u"app.log.1.gz",     u"app.log-2024010",
        u"app.log.0",        u"app.logs.1",         u"app.log.2024-1-01", u"app.log.12345678", u"app.log-20240101x",
        u"app.log.3.gz"};
    Names want = {u"app.log.2024-01-01", u"app.log-20240102", u"app.log.10", u"app.log.2", u"APP.LOG.1", u"app.log"};
    EXPECT_EQ(want, RotatedLogSet(u"app.log", folder, 64));
    // A sibling chosen stands for its log.
    EXPECT_EQ(want, RotatedLogSet(u"app.log.2", folder, 64));
    // The newest are kept when there are too many: the log and its two newest siblings.
    EXPECT_EQ((Names{u"app.log.2", u"APP.LOG.1", u"app.log"}), RotatedLogSet(u"app.log", folder, 3));
    // Compressed members once they can be read; of a plain and a compressed one in the same
    // place, the plain one.
    Names withGz = RotatedLogSet(u"app.log", folder, 64, true);
    want.insert(want.begin() + 3, u"app.log.3.gz");
    EXPECT_EQ(want, withGz);
    // A log without siblings is a set of one.
    EXPECT_EQ((Names{u"other.log"}), RotatedLogSet(u"other.log", Names{u"other.log", u"other.logx"}, 64));
}

}  // namespace
