#include "test_files.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace testing_support {

TempFolder::TempFolder() {
    // Test programs run in parallel: a folder another one made first is never shared.
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    do {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = base / ("vfda-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    } while (!std::filesystem::create_directory(path_));
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string ReadText(const std::string& path) {
    const Bytes bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, Bytes(text.begin(), text.end()));
}

void Append(Bytes& bytes, std::initializer_list<uint8_t> more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

void Append(Bytes& bytes, const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

void AppendU16(Bytes& bytes, uint16_t value) {
    Append(bytes, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
}

void AppendU32(Bytes& bytes, uint32_t value) {
    AppendU16(bytes, static_cast<uint16_t>(value));
    AppendU16(bytes, static_cast<uint16_t>(value >> 16));
}

std::string Hex(const Bytes& bytes) {
    std::string text;
    char piece[4];
    for (const uint8_t byte : bytes) {
        std::snprintf(piece, sizeof(piece), "%02X ", byte);
        text += piece;
    }
    return text;
}

std::string ProgramFile(const std::string& name) {
    return name + VFDA_PROGRAM_SUFFIX;
}

std::string LibraryFile(const std::string& name) {
    return name + VFDA_LIBRARY_SUFFIX;
}

} // namespace testing_support
