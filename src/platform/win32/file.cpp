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

// The access, sharing and disposition of a mode, as the framework's flags mean them: a file
// read for loading is shared with readers and writers (shareDenyNone); a file created for
// saving is held exclusively. CREATE_NEW fails on any name already there, a link included.
struct ModeFlags {
    DWORD access;
    DWORD share;
    DWORD disposition;
};

ModeFlags FlagsOf(File::Mode mode) {
    switch (mode) {
    case File::Mode::Read:
        return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
    case File::Mode::CreateReadWrite:
        return {GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS};
    case File::Mode::CreateNew:
        return {GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW};
    case File::Mode::WriteExisting:
        return {GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING};
    case File::Mode::Append:
        // Append data only: each write lands at the end, as other writers' do.
        return {FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS};
    }
    return {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING};
}

} // namespace

File::~File() {
    Close();
}

bool File::Open(const std::string& path, Mode mode) {
    Close();
    const ModeFlags flags = FlagsOf(mode);
    const HANDLE handle = CreateFileA(path.c_str(), flags.access, flags.share, nullptr,
                                      flags.disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    // Only files on a disk: not a device such as NUL, CON or a COM port, nor a pipe.
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

long long File::WriteSome(const void* buffer, size_t count) {
    DWORD put = 0;
    const DWORD piece = static_cast<DWORD>(count < kMaxPiece ? count : kMaxPiece);
    if (!WriteFile(Handle(handle_), buffer, piece, &put, nullptr)) {
        return -1;
    }
    return put;
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

bool File::SetLength(uint64_t length) {
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(length);
    return IsOpen() && SetFilePointerEx(Handle(handle_), position, nullptr, FILE_BEGIN) &&
           SetEndOfFile(Handle(handle_));
}

// Files here carry no permission bits to keep: a new file inherits its folder's access
// rules, as the file it replaces did.
bool File::KeepAttributesOf(const FileStatus&, Ownership) {
    return IsOpen();
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

FileStatus StatusOf(const std::string& path) {
    FileStatus status;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return status;
    }
    status.exists = true;
    status.regular =
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    status.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    return status;
}

// Windows has no shared sticky folders; its links are made by those allowed to.
bool MayFollowLink(const std::string&) {
    return true;
}

bool FinalTarget(const std::string& path, std::string& target) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        target = path;
        return true;
    }
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    char buffer[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(handle, buffer, sizeof buffer,
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= sizeof buffer) {
        return false;
    }
    target.assign(buffer, length);
    // "\\?\C:\..." names the same file as "C:\..."; keep the form users know.
    const std::string prefix = "\\\\?\\";
    if (target.rfind(prefix, 0) == 0 && target.size() > prefix.size() + 1 &&
        target[prefix.size() + 1] == ':') {
        target.erase(0, prefix.size());
    }
    return true;
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
