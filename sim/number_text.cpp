#include "sim/number_text.h"

#include <charconv>

namespace sim {

bool ParseUnsigned(std::string_view text, uint32_t maximum, uint32_t& number) {
    uint32_t parsed = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, parsed);
    if (text.empty() || error != std::errc() || stop != end || parsed > maximum) {
        return false;
    }
    number = parsed;
    return true;
}

} // namespace sim
