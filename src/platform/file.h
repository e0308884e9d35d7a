// Unbuffered files with explicit failure results, and the file-system calls the
// configuration file needs. The toolkit's CFile builds its exceptions on these.
#pragma once

#include "platform/export.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// What a path names, following symbolic links.
struct FileStatus {
    bool exists = false;
    // A plain file on a disk: not a folder, a FIFO, a device or a socket.
    bool regular = false;
    // Marked read-only (no write permission bit for anyone, or the read-only attribute), or
    // not writable by this user. A save refuses such a file even where the user could
    // override the marking (root, an administrator).
    bool readOnly = false;
    // Permission bits, owner and group as the system keeps them (0 where it has none).
    uint32_t permissions = 0;
    uint32_t owner = 0;
    uint32_t group = 0;
};

class TOOLKIT_API File {
public:
    // Read: an existing regular file; opening never blocks on a FIFO or a device.
    // CreateReadWrite: created or truncated. CreateNew: a file that did not exist, created
    // by this call (never a file or link already there), readable only by its owner until
    // KeepAttributesOf gives it others. WriteExisting: a regular file already there, opened
    // for writing from its start, nothing truncated until SetLength. Append: a regular file,
    // created when missing; every write goes whole to its end, also with other writers.
    enum class Mode { Read, CreateReadWrite, CreateNew, WriteExisting, Append };

    File() = default;
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const std::string& path, Mode mode);
    bool IsOpen() const { return handle_ >= 0; }
    // Bytes read (0 at the end of the file), or -1 on an error.
    long long Read(void* buffer, size_t count);
    bool WriteAll(const void* buffer, size_t count);
    // Hands the written bytes to the storage device before returning.
    bool FlushToDisk();
    long long Length();
    // Cuts (or extends) the open file to `length` bytes.
    bool SetLength(uint64_t length);
    // Gives the open file the read, write and execute bits of `model` (never its set-id or
    // sticky bits), with Ownership::Keep its owner and group where this user may, or the
    // system's default for a new file when `model` does not exist.
    enum class Ownership { Keep, Mine };
    bool KeepAttributesOf(const FileStatus& model, Ownership ownership = Ownership::Keep);
    bool Close();

private:
    // One write of the back end, as much of `count` as the system takes: the bytes written
    // (0 when it took none), or -1 on an error.
    long long WriteSome(const void* buffer, size_t count);

    long long handle_ = -1;
};

TOOLKIT_API bool FileExists(const std::string& path);
TOOLKIT_API FileStatus StatusOf(const std::string& path);
// False for a symbolic link that another user planted in a shared folder (world-writable and
// sticky, as /tmp): such a link is followed only when its owner is the folder's owner or this
// user, the rule the kernel itself keeps for such folders. True for anything else.
TOOLKIT_API bool MayFollowLink(const std::string& link);
// The path a chain of symbolic links at `path` ends in (`path` itself when it is no link,
// also when nothing is there). False for a loop, a link that cannot be read, or one that
// MayFollowLink refuses.
TOOLKIT_API bool FinalTarget(const std::string& path, std::string& target);
// Replaces target by source in one step, so a reader sees either the old or the new file.
TOOLKIT_API bool ReplaceFile(const std::string& source, const std::string& target);
TOOLKIT_API bool RemoveFile(const std::string& path);

} // namespace platform
