#include "allocation_count.h"

#include "process_probe.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <new>

namespace bench {
namespace {

constexpr size_t kThreadSlots = 256;

struct ThreadSlot {
    std::atomic<int> threadId{0};
    std::atomic<uint64_t> allocations{0};
};

std::array<ThreadSlot, kThreadSlots> g_slots;
std::atomic<size_t> g_slotsUsed{0};
std::atomic<int64_t> g_live{0};

#if VFDA_BENCH_COUNT_ALLOCATIONS
thread_local ThreadSlot* t_slot = nullptr;

// A thread's slot, taken on its first allocation; threads beyond the table share the last.
ThreadSlot& Slot() {
    if (t_slot == nullptr) {
        const size_t index = g_slotsUsed.fetch_add(1);
        t_slot = &g_slots[index < kThreadSlots ? index : kThreadSlots - 1];
        t_slot->threadId.store(ThisThreadId());
    }
    return *t_slot;
}

void* Allocate(size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory != nullptr) {
        Slot().allocations.fetch_add(1, std::memory_order_relaxed);
        g_live.fetch_add(1, std::memory_order_relaxed);
    }
    return memory;
}

void Release(void* memory) {
    if (memory != nullptr) {
        g_live.fetch_sub(1, std::memory_order_relaxed);
        std::free(memory);
    }
}
#endif

} // namespace

uint64_t AllocationsBy(const std::set<int>& threadIds) {
    uint64_t total = 0;
    const size_t used = std::min(g_slotsUsed.load(), kThreadSlots);
    for (size_t i = 0; i < used; ++i) {
        if (threadIds.count(g_slots[i].threadId.load()) != 0) {
            total += g_slots[i].allocations.load();
        }
    }
    return total;
}

int64_t LiveAllocations() {
    return g_live.load();
}

bool AllocationsCounted() {
    return VFDA_BENCH_COUNT_ALLOCATIONS != 0;
}

} // namespace bench

#if VFDA_BENCH_COUNT_ALLOCATIONS
void* operator new(size_t size) {
    void* memory = bench::Allocate(size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}
void* operator new[](size_t size) {
    return operator new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    return bench::Allocate(size);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    return bench::Allocate(size);
}
void operator delete(void* memory) noexcept {
    bench::Release(memory);
}
void operator delete[](void* memory) noexcept {
    bench::Release(memory);
}
void operator delete(void* memory, size_t) noexcept {
    bench::Release(memory);
}
void operator delete[](void* memory, size_t) noexcept {
    bench::Release(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    bench::Release(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    bench::Release(memory);
}
#endif
