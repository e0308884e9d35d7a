#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr int kCommonFlags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

int OpenRetrying(const std::string& path, int flags) {
    int fd;
    do {
        fd = open(path.c_str(), flags | kCommonFlags, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool IsPermissionRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Never through a symbolic link, never blocking on a FIFO planted at the name. flock needs
// no write access, so a lock file this user may only read serves as well. -1 with
// `noFile` set when the file is missing and cannot be created.
int OpenLockFile(const std::string& path, bool& noFile) {
    noFile = false;
    int fd = OpenRetrying(path, O_RDWR | O_CREAT);
    if (fd < 0 && IsPermissionRefusal(errno)) {
        fd = OpenRetrying(path, O_RDONLY);
        noFile = fd < 0 && (errno == ENOENT || IsPermissionRefusal(errno));
    }
    if (fd < 0) {
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return -1;
    }
    return fd;
}

// What flock answers where the file system keeps no locks (NFS without a lock service, some
// FUSE file systems).
bool LocksUnsupported(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOTSUP || error == ENOSYS ||
           error == EINVAL;
}

} // namespace

FileLock::~FileLock() {
    Release();
}

FileLock::Attempt FileLock::TryAcquire(const std::string& path) {
    Release();
    bool noFile = false;
    const int fd = OpenLockFile(path, noFile);
    if (fd < 0) {
        return noFile ? Attempt::NoFile : Attempt::Failed;
    }
    // flock belongs to this open file: a second open in the same process contends as another
    // process would, so two writers in one process are kept apart too.
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        close(fd);
        return error == EWOULDBLOCK      ? Attempt::Busy
               : LocksUnsupported(error) ? Attempt::Unsupported
                                         : Attempt::Failed;
    }
    handle_ = fd;
    return Attempt::Acquired;
}

void FileLock::Release() {
    if (handle_ >= 0) {
        close(static_cast<int>(handle_)); // closing the file releases its lock
        handle_ = -1;
    }
}

} // namespace platform
