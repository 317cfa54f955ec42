// CThreadSlot: one object per thread, intact until its thread ends, then deleted.
#include "foundation/thread_slot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr int kIntact = 0x5eed;

std::atomic<int> g_made{0};
std::atomic<int> g_deletedIntact{0};
std::atomic<int> g_deletedDamaged{0};
std::atomic<bool> g_refuse{false};

// Its destructor tells whether its storage was still its own when it ran.
struct CCounted final : CThreadOwned {
    int mark = kIntact;
    ~CCounted() override { (mark == kIntact ? g_deletedIntact : g_deletedDamaged).fetch_add(1); }
};

CThreadOwned* MakeCounted() {
    if (g_refuse.load()) return nullptr;
    g_made.fetch_add(1);
    return new CCounted;
}

const CThreadSlot& Slot() {
    static const CThreadSlot slot(MakeCounted);
    return slot;
}

// Each thread gets one object of its own, the same at every Get, deleted intact when the
// thread ends.
TEST(ThreadSlotTest, EachThreadHasItsOwnObjectDeletedWhenTheThreadEnds) {
    CThreadOwned* mine = Slot().Get();
    ASSERT_NE(nullptr, mine);
    EXPECT_EQ(mine, Slot().Get());
    int made = g_made.load();
    int deleted = g_deletedIntact.load();
    CThreadOwned* other = nullptr;
    std::thread thread([&] {
        other = Slot().Get();
        if (other != Slot().Get()) other = nullptr;
    });
    thread.join();
    EXPECT_NE(nullptr, other);
    EXPECT_NE(mine, other);
    for (int i = 0; i < 3; ++i) std::thread([] { Slot().Get(); }).join();
    EXPECT_EQ(made + 4, g_made.load());
    EXPECT_EQ(4, g_deletedIntact.load() - deleted);
    EXPECT_EQ(0, g_deletedDamaged.load());
    EXPECT_EQ(mine, Slot().Get());
}

// An object that cannot be made leaves the thread without one, and is tried again later.
TEST(ThreadSlotTest, AnObjectNotMadeIsTriedAgain) {
    CThreadOwned* got = nullptr;
    std::thread thread([&] {
        g_refuse = true;
        got = Slot().Get();
        g_refuse = false;
        EXPECT_EQ(nullptr, got);
        got = Slot().Get();
    });
    thread.join();
    EXPECT_NE(nullptr, got);
}

}  // namespace
