#include "toolkit/writer_lock.h"

#include "platform/clock.h"
#include "platform/file.h"

namespace {

// How often a waiting writer tries again: short against a holder's few milliseconds.
constexpr uint32_t kRetryMs = 5;

} // namespace

bool CWriterLock::LockPathOf(const std::string& path, std::string& lockPath) {
    std::string target;
    if (!platform::FinalTarget(path, target)) {
        return false;
    }
    lockPath = target + ".lock";
    return true;
}

bool CWriterLock::IsLockable(const std::string& path) {
    const platform::FileStatus status = platform::StatusOf(path);
    return !status.exists || status.regular;
}

bool CWriterLock::UseTheFileItself(const std::string& path) {
    std::string target;
    if (!platform::FinalTarget(path, target) || !platform::StatusOf(target).regular ||
        lockPath_ == target) {
        return false;
    }
    lockPath_ = target;
    return true;
}

CWriterLock::Outcome CWriterLock::Acquire(const std::string& path, uint32_t waitMs) {
    Release();
    lockPath_.clear();
    // Nothing is created beside a folder, a FIFO or a device.
    if (!IsLockable(path) || !LockPathOf(path, lockPath_)) {
        return Outcome::Failed;
    }
    const uint32_t start = platform::TickCount();
    for (;;) {
        switch (lock_.TryAcquire(lockPath_)) {
        case platform::FileLock::Attempt::Acquired:
            return Outcome::Held;
        case platform::FileLock::Attempt::Unsupported:
            return Outcome::Unlocked;
        case platform::FileLock::Attempt::NoFile:
            if (!UseTheFileItself(path)) {
                return Outcome::Failed;
            }
            continue;
        case platform::FileLock::Attempt::Failed:
            return Outcome::Failed;
        case platform::FileLock::Attempt::Busy:
            break;
        }
        if (platform::TickCount() - start >= waitMs) {
            return Outcome::TimedOut;
        }
        platform::SleepMs(kRetryMs);
    }
}
