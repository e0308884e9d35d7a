// Unbuffered files with explicit failure results, and the file-system calls the
// configuration file needs. The toolkit's CFile builds its exceptions on these.
#pragma once

#include "platform/export.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

class TOOLKIT_API File {
public:
    enum class Mode { Read, CreateReadWrite };

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
    bool Close();

private:
    long long handle_ = -1;
};

TOOLKIT_API bool FileExists(const std::string& path);
// Replaces target by source in one step, so a reader sees either the old or the new file.
TOOLKIT_API bool ReplaceFile(const std::string& source, const std::string& target);
TOOLKIT_API bool RemoveFile(const std::string& path);

} // namespace platform
