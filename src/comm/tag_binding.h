// One registered host tag: which tag, of which type, bound to which parameter (and, for a
// digital tag, which bit of it).
#pragma once

#include <cstdint>

namespace comm {

// Tag type code of a digital tag: one bit of a parameter word, read only.
constexpr uint16_t kDigitalTagType = 13;

} // namespace comm

// Threads: written once at registration (host's thread, communication stopped); read while
// it runs by the poll thread (distribution) and host threads (writes).
struct TagBinding {
    uint32_t tagId = 0;
    uint16_t tagType = 0;
    // The bit 0..15 of a digital tag; for other tags the registration's sub-attribute, unused.
    uint16_t bitNumber = 0;
    uint16_t parameterNumber = 0;

    bool IsDigital() const { return tagType == comm::kDigitalTagType; }
};
