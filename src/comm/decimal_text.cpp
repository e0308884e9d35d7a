#include "comm/decimal_text.h"

namespace comm {
namespace {

constexpr int64_t kSaturation = int64_t{1} << 40;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

DecimalText ReadDecimal(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && IsSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    const size_t firstDigit = at;
    int64_t magnitude = 0;
    while (at < text.size() && IsDigit(text[at])) {
        if (magnitude < kSaturation) {
            magnitude = magnitude * 10 + (text[at] - '0');
        }
        ++at;
    }
    DecimalText result;
    if (at == firstDigit) {
        // No digits: nothing is read, as strtoul leaves its end pointer at the start.
        result.consumed = text.empty();
        return result;
    }
    result.value = negative ? -magnitude : magnitude;
    result.consumed = at == text.size();
    return result;
}

} // namespace comm
