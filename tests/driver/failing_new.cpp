#include "failing_new.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace testing_support {
namespace {

// 0 means "never". A thread's own countdown, and the one each new thread starts with.
thread_local uint64_t t_countdown = 0;
std::atomic<uint64_t> g_newThreadCountdown{0};
std::atomic<uint64_t> g_generation{0};
std::atomic<bool> g_failed{false};

// Read once per thread, at its first allocation: the arming it was born under.
struct ThreadBirth {
    uint64_t generation = g_generation.load();
    uint64_t countdown = g_newThreadCountdown.load();
};
thread_local ThreadBirth t_birth;

bool ShouldFail() {
    if (t_countdown != 0 && --t_countdown == 0) {
        return true;
    }
    ThreadBirth& birth = t_birth;
    if (birth.countdown != 0 && birth.generation == g_generation.load() && --birth.countdown == 0) {
        return true;
    }
    return false;
}

// Where an allocation is failed: a place to break on when a test asks which one it was.
[[gnu::noinline]] void FailAllocation() {
    g_failed = true;
    throw std::bad_alloc();
}

void* Allocate(std::size_t size) {
    if (ShouldFail()) {
        FailAllocation();
    }
    if (void* memory = std::malloc(size != 0 ? size : 1)) {
        return memory;
    }
    throw std::bad_alloc();
}

} // namespace

void FailNthAllocationHere(uint64_t n) {
    g_failed = false;
    t_countdown = n;
}

void FailNthAllocationInNewThreads(uint64_t n) {
    g_failed = false;
    (void)t_birth; // the arming thread itself was born before
    g_newThreadCountdown = n;
    ++g_generation;
}

bool StopFailingAllocations() {
    t_countdown = 0;
    g_newThreadCountdown = 0;
    ++g_generation;
    return g_failed.exchange(false);
}

} // namespace testing_support

void* operator new(std::size_t size) {
    return testing_support::Allocate(size);
}
void* operator new[](std::size_t size) {
    return testing_support::Allocate(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
