#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

// As many links as the system itself follows before it reports a loop.
constexpr int kMaxLinkHops = 40;
constexpr mode_t kPermissionBits = 07777;
// What a save gives on: read, write and execute. Set-id and sticky bits are never copied, so
// a file planted with them cannot lend them to what is written in its place.
constexpr mode_t kPlainPermissionBits = 0777;

int Fd(long long handle) {
    return static_cast<int>(handle);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

int OpenRetrying(const std::string& path, int flags, mode_t mode) {
    int fd;
    do {
        fd = open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The open flags of a mode. Every open is non-blocking, so a FIFO or a device at the path
// is refused by the type check that follows instead of stalling the open.
int FlagsOf(File::Mode mode) {
    switch (mode) {
    case File::Mode::Read:
        return O_RDONLY | O_NONBLOCK;
    case File::Mode::CreateReadWrite:
        return O_RDWR | O_CREAT | O_TRUNC | O_NONBLOCK;
    case File::Mode::CreateNew:
        // O_EXCL with O_CREAT fails on any name already there, a symbolic link included.
        return O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK;
    case File::Mode::WriteExisting:
        return O_WRONLY | O_NOFOLLOW | O_NONBLOCK;
    case File::Mode::Append:
        return O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK;
    }
    return O_RDONLY | O_NONBLOCK;
}

bool IsRegularFile(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

bool ClearNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

// The system's permissions for a new file: what 0666 leaves after the process's umask,
// read without changing it.
mode_t DefaultNewFilePermissions() {
    FILE* status = std::fopen("/proc/self/status", "re");
    unsigned mask = 022;
    if (status != nullptr) {
        char line[256];
        while (std::fgets(line, sizeof line, status) != nullptr) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                break;
            }
        }
        std::fclose(status);
    }
    return 0666 & ~static_cast<mode_t>(mask);
}

} // namespace

File::~File() {
    Close();
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    const mode_t permissions = mode == Mode::CreateNew ? 0600 : 0666;
    const int fd = OpenRetrying(path, FlagsOf(mode), permissions);
    if (fd < 0) {
        return false;
    }
    if (!IsRegularFile(fd) || !ClearNonBlocking(fd)) {
        close(fd);
        return false;
    }
    handle_ = fd;
    return true;
}

long long File::Read(void* buffer, size_t count) {
    if (!IsOpen()) {
        return -1;
    }
    ssize_t got;
    do {
        got = read(Fd(handle_), buffer, count);
    } while (got < 0 && errno == EINTR);
    return got;
}

long long File::WriteSome(const void* buffer, size_t count) {
    ssize_t put;
    do {
        put = write(Fd(handle_), buffer, count);
    } while (put < 0 && errno == EINTR);
    return put;
}

bool File::FlushToDisk() {
    return IsOpen() && fsync(Fd(handle_)) == 0;
}

long long File::Length() {
    struct stat info {};
    if (!IsOpen() || fstat(Fd(handle_), &info) != 0) {
        return -1;
    }
    return info.st_size;
}

bool File::SetLength(uint64_t length) {
    int result;
    do {
        result = IsOpen() ? ftruncate(Fd(handle_), static_cast<off_t>(length)) : -1;
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

bool File::KeepAttributesOf(const FileStatus& model, Ownership ownership) {
    if (!IsOpen()) {
        return false;
    }
    if (!model.exists) {
        return fchmod(Fd(handle_), DefaultNewFilePermissions()) == 0;
    }
    // The owner and group only where asked and this user may give them (root, or a group of
    // its own); the permission bits always, after the owner.
    struct stat info {};
    if (ownership == Ownership::Keep && fstat(Fd(handle_), &info) == 0 &&
        (info.st_uid != model.owner || info.st_gid != model.group)) {
        if (fchown(Fd(handle_), model.owner, model.group) != 0) {
            // Not allowed to give the owner: the group alone, and failing that, this user's.
            (void)!fchown(Fd(handle_), static_cast<uid_t>(-1), model.group);
        }
    }
    return fchmod(Fd(handle_), static_cast<mode_t>(model.permissions) & kPlainPermissionBits) == 0;
}

bool File::Close() {
    if (!IsOpen()) {
        return true;
    }
    const bool closed = close(Fd(handle_)) == 0;
    handle_ = -1;
    return closed;
}

bool FileExists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

FileStatus StatusOf(const std::string& path) {
    FileStatus status;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return status;
    }
    status.exists = true;
    status.regular = S_ISREG(info.st_mode);
    status.permissions = info.st_mode & kPermissionBits;
    status.owner = info.st_uid;
    status.group = info.st_gid;
    const bool marked = (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    status.readOnly = marked || access(path.c_str(), W_OK) != 0;
    return status;
}

bool MayFollowLink(const std::string& link) {
    struct stat info {};
    struct stat folder {};
    if (lstat(link.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return true;
    }
    if (stat(FolderOf(link).c_str(), &folder) != 0) {
        return false;
    }
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || info.st_uid == folder.st_uid || info.st_uid == geteuid();
}

bool FinalTarget(const std::string& path, std::string& target) {
    std::string current = path;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = current;
            return true;
        }
        if (!MayFollowLink(current)) {
            return false;
        }
        // A link's size is the length of its text; one that changed since and no longer
        // fits the buffer is refused rather than cut.
        std::vector<char> text(static_cast<size_t>(info.st_size) + 2);
        const ssize_t length = readlink(current.c_str(), text.data(), text.size());
        if (length <= 0 || static_cast<size_t>(length) >= text.size()) {
            return false;
        }
        const std::string link(text.data(), static_cast<size_t>(length));
        current = link.front() == '/' ? link : FolderOf(current) + "/" + link;
    }
    return false;
}

bool ReplaceFile(const std::string& source, const std::string& target) {
    if (std::rename(source.c_str(), target.c_str()) != 0) {
        return false;
    }
    // Make the rename itself durable: sync the folder that holds the entry.
    const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}

bool RemoveFile(const std::string& path) {
    return unlink(path.c_str()) == 0;
}

} // namespace platform
