// What the fuzz targets share: the host's libraries bound in-process, so that messages and
// value changes take the module's real paths; a scratch file; and a reader of the input.
#pragma once

#include "config/vfda_drv_doc.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace fuzzing {

// Binds the stand-in libraries once per process; forgets what they received so far.
void ResetHost();

// The tag name the host's database answers for a tag id.
void NameTag(uint32_t tagId, const std::string& name);

// A file of this process's own in the temporary folder, removed at exit.
const std::string& ScratchFile();
void WriteScratchFile(const uint8_t* data, size_t size);

// A document with the stations named, numbered from 1, and a channel (no port).
std::unique_ptr<CVfdaDrvDoc> MakeDocument(std::initializer_list<std::string_view> stations);

// Drops the value changes a channel has queued for the host.
void DrainValueChanges(CCommChannel& channel);

// Takes the input apart front to back; past its end every read answers 0 or empty.
class InputReader {
public:
    InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return at_ >= size_; }
    uint8_t Byte() { return AtEnd() ? 0 : data_[at_++]; }
    uint16_t Word() { return static_cast<uint16_t>(Byte() | (Byte() << 8)); }
    // The bytes up to the next zero byte (which is skipped), or to the end.
    std::string Text();
    // Copies up to `count` bytes; the rest of `out` is left as it was.
    size_t Copy(uint8_t* out, size_t count);

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

} // namespace fuzzing
