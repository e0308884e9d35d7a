// The lock every writer of a file holds while it changes the file: an exclusive lock on the
// empty file "TARGET.lock" beside the file's final target (where its symbolic links end), so
// every name of one file shares one lock. The lock file stays; readers never take the lock.
//
// Where the folder refuses new files and holds no lock file, the lock is taken on the file
// itself: it keeps apart the writers that cannot create the lock file either. Where the file
// system keeps no locks at all, a writer goes on without one (Unlocked), as writers did
// before locks.
#pragma once

#include "platform/export.h"
#include "platform/file_lock.h"

#include <cstdint>
#include <string>

class TOOLKIT_API CWriterLock {
public:
    enum class Outcome { Held, Unlocked, TimedOut, Failed };

    // Held or Unlocked: the file may be written.
    static bool MayWrite(Outcome outcome) {
        return outcome == Outcome::Held || outcome == Outcome::Unlocked;
    }

    // Long enough for any number of queued writers of a configuration, each of which holds the
    // lock for a load and a save; a holder beyond it is stuck and is reported.
    static constexpr uint32_t kDefaultWaitMs = 10000;

    CWriterLock() = default;
    CWriterLock(const CWriterLock&) = delete;
    CWriterLock& operator=(const CWriterLock&) = delete;

    // Waits at most `waitMs` for the lock of the file at `path`. Failed when the path is not
    // a regular file, or no lock file can be used (a link or a folder at its name; a folder
    // that refuses new files while the file is not there yet).
    Outcome Acquire(const std::string& path, uint32_t waitMs = kDefaultWaitMs);
    bool Held() const { return lock_.Held(); }
    void Release() { lock_.Release(); }
    // The lock file of the last Acquire (the file itself when it serves as its own).
    const std::string& LockPath() const { return lockPath_; }

    // The lock file of the file at `path`; false when its links cannot be followed.
    static bool LockPathOf(const std::string& path, std::string& lockPath);

private:
    // Only a regular file, or a name where one is still to be made, has a writer lock.
    static bool IsLockable(const std::string& path);
    // Makes the file at `path` its own lock file; false when it is not there.
    bool UseTheFileItself(const std::string& path);

    platform::FileLock lock_;
    std::string lockPath_;
};
