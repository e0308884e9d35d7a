#include "platform/file.h"

#include <cstdint>
#include <windows.h>

// <windows.h> maps ReplaceFile to ReplaceFileA; this file defines platform::ReplaceFile.
#undef ReplaceFile

namespace platform {
namespace {

HANDLE Handle(long long handle) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(handle));
}

// The largest piece one ReadFile or WriteFile call is given.
constexpr size_t kMaxPiece = 1u << 30;

} // namespace

File::~File() {
    Close();
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    // As the framework's flags mean them: a file read for loading is shared with readers
    // and writers (shareDenyNone); a file created for saving is held exclusively.
    const bool read = mode == Mode::Read;
    const HANDLE handle =
        CreateFileA(path.c_str(), read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                    read ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                    read ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Only files on a disk: not a device such as NUL, CON or a COM port.
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return false;
    }
    handle_ = static_cast<long long>(reinterpret_cast<intptr_t>(handle));
    return true;
}

long long File::Read(void* buffer, size_t count) {
    if (!IsOpen()) {
        return -1;
    }
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
    if (!ReadFile(Handle(handle_), buffer, wanted, &got, nullptr)) {
        return -1;
    }
    return got;
}

bool File::WriteAll(const void* buffer, size_t count) {
    if (!IsOpen()) {
        return false;
    }
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        DWORD put = 0;
        const DWORD piece = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
        if (!WriteFile(Handle(handle_), bytes, piece, &put, nullptr) || put == 0) {
            return false;
        }
        bytes += put;
        count -= put;
    }
    return true;
}

bool File::FlushToDisk() {
    return IsOpen() && FlushFileBuffers(Handle(handle_)) != 0;
}

long long File::Length() {
    LARGE_INTEGER size{};
    if (!IsOpen() || !GetFileSizeEx(Handle(handle_), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool File::Close() {
    if (!IsOpen()) {
        return true;
    }
    const bool closed = CloseHandle(Handle(handle_)) != 0;
    handle_ = -1;
    return closed;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReplaceFile(const std::string& source, const std::string& target) {
    // Write-through: the call returns once the rename is on the disk.
    return MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

} // namespace platform
