// Files for tests: a private temporary folder per test, and whole-file reads and writes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testing_support {

using Bytes = std::vector<uint8_t>;

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);

// Builders for expected file contents.
void Append(Bytes& bytes, std::initializer_list<uint8_t> more);
void Append(Bytes& bytes, const std::string& text);
void Append(Bytes& bytes, const Bytes& more);
void AppendU16(Bytes& bytes, uint16_t value);
void AppendU32(Bytes& bytes, uint32_t value);
std::string Hex(const Bytes& bytes);

// The folder that holds the built programs and libraries.
std::filesystem::path BinFolder();
// File names of the build's programs and shared libraries on this platform: "vfda-host" is
// vfda-host.exe on Windows, "VfdaDrv" is VfdaDrv.dll there and VfdaDrv.so elsewhere.
std::string ProgramFile(const std::string& name);
std::string LibraryFile(const std::string& name);

} // namespace testing_support
