#include "platform/file_lock.h"

#include <cstdint>
#include <windows.h>

namespace platform {
namespace {

HANDLE Handle(long long handle) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

// The locked range lies far past the end of the (empty) lock file, so the lock stops only
// other lockers, never a reader.
constexpr DWORD kRangeOffsetHigh = 0x7FFFFFFF;

HANDLE OpenWithAccess(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                       nullptr);
}

// Opens the link itself rather than what it names, so a planted link is seen and refused.
// A lock file this user may only read serves as well; `noFile` is set when it is missing
// and cannot be created.
HANDLE OpenLockFile(const std::string& path, bool& noFile) {
    noFile = false;
    HANDLE handle = OpenWithAccess(path, GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED) {
        handle = OpenWithAccess(path, GENERIC_READ, OPEN_EXISTING);
        noFile = handle == INVALID_HANDLE_VALUE;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        return handle;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(handle);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

} // namespace

FileLock::~FileLock() {
    Release();
}

FileLock::Attempt FileLock::TryAcquire(const std::string& path) {
    Release();
    bool noFile = false;
    const HANDLE handle = OpenLockFile(path, noFile);
    if (handle == INVALID_HANDLE_VALUE) {
        return noFile ? Attempt::NoFile : Attempt::Failed;
    }
    OVERLAPPED range{};
    range.OffsetHigh = kRangeOffsetHigh;
    if (!LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        if (error == ERROR_LOCK_VIOLATION) {
            return Attempt::Busy;
        }
        const bool unsupported = error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
        return unsupported ? Attempt::Unsupported : Attempt::Failed;
    }
    handle_ = static_cast<long long>(reinterpret_cast<intptr_t>(handle));
    return Attempt::Acquired;
}

void FileLock::Release() {
    if (handle_ >= 0) {
        // Closing the handle releases its locks.
        CloseHandle(Handle(handle_));
        handle_ = -1;
    }
}

} // namespace platform
