// Counts the program's live heap allocations, for the soak's check that memory stays flat:
// every operator new and delete of the process passes through here.
#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<int64_t> g_live{0};
std::atomic<uint64_t> g_total{0};

void* Allocate(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    g_live.fetch_add(1, std::memory_order_relaxed);
    g_total.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void Release(void* block) {
    if (block != nullptr) {
        g_live.fetch_sub(1, std::memory_order_relaxed);
        std::free(block);
    }
}

} // namespace

int64_t LiveAllocations() {
    return g_live.load();
}

uint64_t TotalAllocations() {
    return g_total.load();
}

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}
