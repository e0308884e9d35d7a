// A new version of a file, written so that its name never shows a partial file: the bytes
// go to a temporary file created exclusively beside the file's final target, are flushed to
// the disk and given the file's permission bits, and the temporary file is then renamed over
// the target. A symbolic link at the name stays and its target gets the new version; other
// hard links of the file keep the previous version.
#pragma once

#include "platform/export.h"
#include "platform/file.h"
#include "toolkit/file.h"

#include <string>

class TOOLKIT_API CFileReplacement {
public:
    enum class Refusal {
        None,
        BadLink,      // a loop of symbolic links, or one that cannot be read
        NotRegular,   // a folder, a FIFO, a device or a socket
        ReadOnly,     // marked read-only, or not writable by this user
        CannotCreate, // no temporary file could be created beside the target
    };

    explicit CFileReplacement(const std::string& path);
    // Removes the temporary file unless the replacement was committed.
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Checks what is at the target and creates the temporary file that File() writes to.
    Refusal Begin();
    CFile& File() { return file_; }
    // Flushes and closes the temporary file and renames it over the target; throws
    // CFileException on failure (the destructor then removes the temporary file).
    void Commit();

    const std::string& Target() const { return target_; }
    const std::string& TemporaryPath() const { return temporary_; }

private:
    bool CreateTemporary();

    std::string path_;
    std::string target_;
    std::string temporary_;
    platform::FileStatus previous_;
    CFile file_;
    bool created_ = false;
    bool committed_ = false;
};
