// The I/O address of a tag: an area letter (P drive parameter, D status and monitor word,
// C driver-side word), a number, and for digital tags a '.' and the bit.
#pragma once

#include "comm/scaled_parameters.h"
#include "comm/tag_binding.h"

#include <cstddef>
#include <cstdint>

namespace comm {

enum Area : uint16_t {
    kAreaP = 0,
    kAreaD = 1,
    kAreaC = 2,
};
constexpr int kAreaCount = 3;

// The highest number of each area, indexed by area.
constexpr int32_t kAreaMaximum[kAreaCount] = {kParameterCount - 1, 6, 2};

// Only this many characters of an address are looked at.
constexpr size_t kAddressWindow = 49;
constexpr uint16_t kHighestBit = 15;

// A value: made and read by one thread.
struct TagAddress {
    uint16_t area = kAreaP;
    int32_t number = 0;
};

// Parses `text` for `binding`: its tag type decides whether a bit suffix is required, and a
// digital tag's bit number is stored in it. False for an address that names nothing.
bool ParseTagAddress(const char* text, TagBinding& binding, TagAddress& address);

} // namespace comm
