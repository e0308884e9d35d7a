// Decimal numbers in text, read by the rules of the C library's strtoul with base 10:
// leading white space, then an optional sign, then digits. Text with no digits reads as 0
// and counts as consumed only when it is empty.
#pragma once

#include <cstdint>
#include <string_view>

namespace comm {

// A value: made and read by one thread.
struct DecimalText {
    // The number with its sign, saturated far beyond any 32-bit value, so range checks see
    // the number that was written rather than a wrapped one.
    int64_t value = 0;
    // True when the whole text was read.
    bool consumed = false;
};

DecimalText ReadDecimal(std::string_view text);

} // namespace comm
