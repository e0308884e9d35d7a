// A file for the archive: opened with the framework's mode flags, failing by exceptions.
#pragma once

#include "platform/export.h"
#include "platform/file.h"

#include <cstdint>
#include <string>
#include <vector>

class TOOLKIT_API CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x0000,
        modeReadWrite = 0x0002,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
    };

    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // False when the file cannot be opened; nothing is thrown.
    bool Open(const std::string& path, unsigned flags);
    // Creates a file that did not exist, never opening one already there (nor following a
    // link there). False when it cannot; nothing is thrown.
    bool CreateNew(const std::string& path);
    // Opens a regular file already there to be rewritten whole, in place. What is written is
    // held in memory until Flush, which writes it from the file's start, cuts the file to
    // its length and puts it on the disk: a failure before then leaves the file untouched.
    // False when it cannot be opened; nothing is thrown.
    bool OpenForRewrite(const std::string& path);
    // Bytes read, fewer than asked only at the end of the file.
    size_t Read(void* buffer, size_t count);
    void Write(const void* buffer, size_t count);
    // Puts the written bytes on the storage device.
    void Flush();
    uint64_t GetLength();
    // Gives the file the permission bits (and, where allowed, the owner) of `model`.
    void KeepAttributesOf(const platform::FileStatus& model);
    void Close();
    // Closes without throwing, for clean-up after a failure.
    void Abort();
    const std::string& GetFilePath() const { return path_; }

private:
    void WriteHeld();

    platform::File file_;
    std::string path_;
    bool holding_ = false;
    std::vector<uint8_t> held_;
};
