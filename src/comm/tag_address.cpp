#include "comm/tag_address.h"

#include "comm/decimal_text.h"

#include <string>
#include <string_view>

namespace comm {
namespace {

constexpr std::string_view kAreaLetters = "PDC";

// The examined part of the address in upper case (ASCII letters only; other bytes, such as
// CP949 text, are left alone).
std::string Window(const char* text) {
    std::string window;
    for (size_t i = 0; i < kAddressWindow && text[i] != '\0'; ++i) {
        const char c = text[i];
        window += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return window;
}

// Takes the bit suffix off a digital tag's address.
bool TakeBitSuffix(std::string& window, TagBinding& binding) {
    const size_t dot = window.rfind('.');
    if (dot == std::string::npos) {
        return false;
    }
    const DecimalText bit = ReadDecimal(std::string_view(window).substr(dot + 1));
    if (!bit.consumed || bit.value < 0 || bit.value > kHighestBit) {
        return false;
    }
    binding.bitNumber = static_cast<uint16_t>(bit.value);
    window.resize(dot);
    return true;
}

} // namespace

bool ParseTagAddress(const char* text, TagBinding& binding, TagAddress& address) {
    std::string window = Window(text != nullptr ? text : "");
    if (window.empty()) {
        return false;
    }
    const size_t area = kAreaLetters.find(window[0]);
    if (area == std::string_view::npos) {
        return false;
    }
    if (binding.IsDigital() && !TakeBitSuffix(window, binding)) {
        return false;
    }
    const DecimalText number = ReadDecimal(std::string_view(window).substr(1));
    if (!number.consumed || number.value < 0 || number.value > kAreaMaximum[area]) {
        return false;
    }
    address.area = static_cast<uint16_t>(area);
    address.number = static_cast<int32_t>(number.value);
    return true;
}

} // namespace comm
