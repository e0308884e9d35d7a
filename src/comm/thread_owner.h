// The thread that owns a piece of state while it runs, checked in debug builds: the state is
// touched by that thread alone, or, while no thread owns it, by whoever the class's contract
// allows (the host's thread while communication is stopped). Release builds check nothing;
// the owner is still recorded, an atomic store that changes no behaviour.
//
// Threads: any thread; the owner is an atomic word.
#pragma once

#include <atomic>
#include <cassert>
#include <thread>

namespace comm {

#ifdef NDEBUG
inline constexpr bool kChecksThreadOwners = false;
#else
inline constexpr bool kChecksThreadOwners = true;
#endif

class ThreadOwner {
public:
    // From now on the calling thread is the owner.
    void Claim() { owner_.store(std::this_thread::get_id()); }
    // No thread owns the state any more.
    void Release() { owner_.store(std::thread::id()); }
    // True when the calling thread may touch the state: it owns it, or nobody does.
    bool MayTouch() const {
        const std::thread::id owner = owner_.load();
        return owner == std::thread::id() || owner == std::this_thread::get_id();
    }
    // Debug builds stop here when another thread owns the state.
    void Check() const {
        if constexpr (kChecksThreadOwners) {
            assert(MayTouch() && "called from a thread that does not own this state");
        }
    }

private:
    std::atomic<std::thread::id> owner_{};
};

// Owns the state for the calling thread from construction to destruction, however the
// scope is left.
class OwnedScope {
public:
    explicit OwnedScope(ThreadOwner& owner) : owner_(owner) { owner_.Claim(); }
    ~OwnedScope() { owner_.Release(); }
    OwnedScope(const OwnedScope&) = delete;
    OwnedScope& operator=(const OwnedScope&) = delete;

private:
    ThreadOwner& owner_;
};

} // namespace comm
