// CHelperThread: helpers that run side by side, and (on POSIX) threads kept for the next Start.
#include "document/helper_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#ifndef _WIN32
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace {

struct CMeeting {
    std::atomic<int> arrived{0};
    int expected = 0;
    std::atomic<long> ids[3] = {};
};

// Waits until every helper of the round has arrived: they must run at once.
void Meet(void* context) {
    auto* meeting = static_cast<CMeeting*>(context);
    int me = meeting->arrived.fetch_add(1);
#ifndef _WIN32
    meeting->ids[me].store(static_cast<long>(syscall(SYS_gettid)));
#else
    static_cast<void>(me);
#endif
    while (meeting->arrived.load() < meeting->expected) std::this_thread::yield();
}

}  // namespace

TEST(CHelperThreadTest, HelpersRunSideBySideAndJoinedThreadsServeTheNextStart) {
    std::set<long> first;
    for (int round = 0; round < 3; ++round) {
        CMeeting meeting;
        meeting.expected = 3;
        {
            CHelperThread helpers[3];
            for (CHelperThread& h : helpers) ASSERT_EQ(1, h.Start(Meet, &meeting));
            EXPECT_EQ(0, helpers[0].Start(Meet, &meeting));  // one function at a time
            helpers[1].Join();
            helpers[1].Join();  // joining twice does nothing
        }                       // the others are joined here
        EXPECT_EQ(3, meeting.arrived.load());
#ifndef _WIN32
        std::set<long> ids;
        for (auto& id : meeting.ids) ids.insert(id.load());
        EXPECT_EQ(3u, ids.size());
        if (round == 0) {
            first = ids;
        } else {
            EXPECT_EQ(first, ids) << "round " << round;
        }
#endif
    }
    g_helperThreadsRefused = true;
    CHelperThread refused;
    EXPECT_EQ(0, refused.Start(Meet, nullptr));
    g_helperThreadsRefused = false;
}
