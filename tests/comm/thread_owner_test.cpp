// The owner of thread-bound state: who may touch it, and the debug builds' stop when
// another thread does.
#include "comm/thread_owner.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace {

void ClaimOnAnotherThread(comm::ThreadOwner& owner) {
    std::thread([&owner] { owner.Claim(); }).join();
}

TEST(ThreadOwner, OnlyTheOwnerMayTouchWhileItOwns) {
    comm::ThreadOwner owner;
    EXPECT_TRUE(owner.MayTouch()) << "nobody owns it yet";
    ClaimOnAnotherThread(owner);
    EXPECT_FALSE(owner.MayTouch());
    owner.Release();
    EXPECT_TRUE(owner.MayTouch());
    owner.Claim();
    EXPECT_TRUE(owner.MayTouch()) << "the owner itself";
}

TEST(ThreadOwner, AScopeReleasesHoweverItIsLeft) {
    comm::ThreadOwner owner;
    bool ownedInside = false;
    std::thread([&] {
        try {
            const comm::OwnedScope scope(owner);
            ownedInside = owner.MayTouch();
            throw std::runtime_error("the thread's body failed");
        } catch (const std::runtime_error&) {
        }
    }).join();
    EXPECT_TRUE(ownedInside);
    EXPECT_TRUE(owner.MayTouch()) << "the ended thread no longer owns it";
}

TEST(ThreadOwnerDeathTest, DebugBuildsStopACallFromAnotherThread) {
    GTEST_FLAG_SET(death_test_style, "threadsafe"); // the sanitizers run threads of their own
    comm::ThreadOwner owner;
    ClaimOnAnotherThread(owner);
    EXPECT_DEBUG_DEATH(owner.Check(), "does not own");
}

} // namespace
