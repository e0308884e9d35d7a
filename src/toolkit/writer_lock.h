// The lock every writer of a file holds while it changes the file: an exclusive lock on the
// empty file "TARGET.lock" beside the file's final target (where its symbolic links end), so
// every name of one file shares one lock. The lock file stays; readers never take the lock.
#pragma once

#include "platform/export.h"
#include "platform/file_lock.h"

#include <cstdint>
#include <string>

class TOOLKIT_API CWriterLock {
public:
    enum class Outcome { Held, TimedOut, Failed };

    // Long enough for any number of queued writers of a configuration, each of which holds the
    // lock for a load and a save; a holder beyond it is stuck and is reported.
    static constexpr uint32_t kDefaultWaitMs = 10000;

    CWriterLock() = default;
    CWriterLock(const CWriterLock&) = delete;
    CWriterLock& operator=(const CWriterLock&) = delete;

    // Waits at most `waitMs` for the lock of the file at `path`. Failed when the path is not
    // a regular file, or the lock file cannot be used (a link or a folder at its name, a folder
    // that cannot be written).
    Outcome Acquire(const std::string& path, uint32_t waitMs = kDefaultWaitMs);
    bool Held() const { return lock_.Held(); }
    void Release() { lock_.Release(); }
    // The lock file of the last Acquire.
    const std::string& LockPath() const { return lockPath_; }

    // The lock file of the file at `path`; false when its links cannot be followed.
    static bool LockPathOf(const std::string& path, std::string& lockPath);

private:
    // Only a regular file, or a name where one is still to be made, has a writer lock.
    static bool IsLockable(const std::string& path);

    platform::FileLock lock_;
    std::string lockPath_;
};
