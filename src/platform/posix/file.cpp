#include "platform/file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

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

} // namespace

File::~File() {
    Close();
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    const int flags = mode == Mode::Read ? O_RDONLY : (O_RDWR | O_CREAT | O_TRUNC);
    int fd;
    do {
        fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
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

bool File::WriteAll(const void* buffer, size_t count) {
    if (!IsOpen()) {
        return false;
    }
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const ssize_t put = write(Fd(handle_), bytes, count);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        bytes += put;
        count -= static_cast<size_t>(put);
    }
    return true;
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
