// A new version of a file, written so that its name never shows a partial file: the bytes
// go to a temporary file created exclusively beside the file's final target, are flushed to
// the disk and given the file's permission bits, and the temporary file is then renamed over
// the target. A symbolic link at the name stays and its target gets the new version; other
// hard links of the file keep the previous version.
//
// Where the folder refuses new files but the file itself may be written, the file is
// rewritten in place instead: the new bytes are held until Commit and then written over the
// old ones in one go. A reader may then see the file half written, and a crash in that
// moment can leave it so; the file keeps its own permissions and owner.
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
        CannotCreate, // no temporary file beside the target, and no file to rewrite
    };

    explicit CFileReplacement(const std::string& path);
    // Removes the temporary file unless the replacement was committed.
    ~CFileReplacement();
    CFileReplacement(const CFileReplacement&) = delete;
    CFileReplacement& operator=(const CFileReplacement&) = delete;

    // Checks what is at the target and creates the temporary file that File() writes to,
    // or opens the target itself to be rewritten in place.
    Refusal Begin();
    bool InPlace() const { return inPlace_; }
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
    bool inPlace_ = false;
    bool committed_ = false;
};
