#include "platform/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Never through a symbolic link, never blocking on a FIFO planted at the name.
int OpenLockFile(const std::string& path) {
    int fd;
    do {
        fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                  0666);
    } while (fd < 0 && errno == EINTR);
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

} // namespace

FileLock::~FileLock() {
    Release();
}

FileLock::Attempt FileLock::TryAcquire(const std::string& path) {
    Release();
    const int fd = OpenLockFile(path);
    if (fd < 0) {
        return Attempt::Failed;
    }
    // flock belongs to this open file: a second open in the same process contends as another
    // process would, so two writers in one process are kept apart too.
    int locked;
    do {
        locked = flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool busy = errno == EWOULDBLOCK;
        close(fd);
        return busy ? Attempt::Busy : Attempt::Failed;
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
