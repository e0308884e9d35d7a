// An exclusive lock that processes take on a lock file, released when the holder closes it
// or ends. The file itself carries nothing and stays where it is.
#pragma once

#include "platform/export.h"

#include <string>

namespace platform {

class TOOLKIT_API FileLock {
public:
    // NoFile: the lock file is missing and its folder refuses new files. Unsupported: the
    // file system keeps no locks (a network share without a lock service).
    enum class Attempt { Acquired, Busy, NoFile, Unsupported, Failed };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // One attempt, without waiting. Creates the lock file when it is missing, and takes one
    // this user may only read as it is; a symbolic link or anything but a regular file at
    // `path` fails.
    Attempt TryAcquire(const std::string& path);
    bool Held() const { return handle_ >= 0; }
    void Release();

private:
    long long handle_ = -1;
};

} // namespace platform
