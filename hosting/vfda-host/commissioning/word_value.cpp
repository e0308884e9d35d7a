#include "word_value.h"

#include "cli/arguments.h"

#include "comm/frame_codec.h"
#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace vfdahost {
namespace {

// The value field of a P or C frame: four decimal digits. D3 goes in the two-digit
// parameter field of the C frame.
constexpr long kValueField = comm::kLargestFourDigits;
constexpr long kParameterField = comm::kLargestTwoDigits;

std::string RangeText(const WordFormat& format) {
    const std::string largest =
        format.decimals == 0
            ? std::to_string(format.largestRaw)
            : std::to_string(format.largestRaw / 10) + "." + std::to_string(format.largestRaw % 10);
    return "0 to " + largest;
}

// Decimals written after the point, trailing zeros aside ("7.50" has one).
int DecimalsWritten(std::string_view text) {
    const size_t point = text.find('.');
    if (point == std::string_view::npos) {
        return 0;
    }
    const size_t last = text.find_last_not_of('0');
    return last > point ? static_cast<int>(last - point) : 0;
}

// -?digits(.digits)?: what people write, and nothing a number parser would also take.
bool IsPlainDecimal(std::string_view text) {
    size_t at = !text.empty() && text[0] == '-' ? 1 : 0;
    const auto digits = [&] {
        const size_t from = at;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
        return at > from;
    };
    if (!digits()) {
        return false;
    }
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!digits()) {
            return false;
        }
    }
    return at == text.size();
}

std::string DecimalsText(int decimals) {
    return decimals == 0 ? "takes whole numbers only" : "carries one decimal";
}

} // namespace

std::optional<WordAddress> ParseWordAddress(const std::string& text) {
    if (text.size() < 2 || text.size() > 3) {
        return std::nullopt;
    }
    WordAddress address;
    address.area = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const std::optional<long> number = cli::ParseInteger(text.substr(1));
    const long last = address.area == 'P'   ? comm::kAreaMaximum[comm::kAreaP]
                      : address.area == 'D' ? comm::kAreaMaximum[comm::kAreaD]
                                            : -1;
    if (!number || !std::isdigit(static_cast<unsigned char>(text[1])) || *number < 0 ||
        *number > last) {
        return std::nullopt;
    }
    address.number = static_cast<int>(*number);
    return address;
}

std::optional<std::vector<WordAddress>> ParseWordAddresses(const std::string& text) {
    const size_t dash = text.find('-');
    if (dash == std::string::npos) {
        const std::optional<WordAddress> one = ParseWordAddress(text);
        return one ? std::optional(std::vector<WordAddress>{*one}) : std::nullopt;
    }
    const std::optional<WordAddress> first = ParseWordAddress(text.substr(0, dash));
    std::string lastText = text.substr(dash + 1);
    if (first && !lastText.empty() && std::isdigit(static_cast<unsigned char>(lastText[0]))) {
        lastText.insert(lastText.begin(), first->area); // "P10-15"
    }
    const std::optional<WordAddress> last = ParseWordAddress(lastText);
    if (!first || !last || last->area != first->area || last->number < first->number) {
        return std::nullopt;
    }
    std::vector<WordAddress> range;
    for (int number = first->number; number <= last->number; ++number) {
        range.push_back({first->area, number});
    }
    return range;
}

WordFormat FormatOf(const WordAddress& address) {
    if (address.area == 'P') {
        const bool scaled = comm::ScaledParameters[static_cast<size_t>(address.number)];
        return {true, scaled ? 1 : 0, kValueField};
    }
    if (address.number == 0) {
        return {true, 1, kValueField}; // the frequency command, sent x 10
    }
    if (address.number == 3) {
        return {true, 0, kParameterField};
    }
    return {};
}

double ValueOfRaw(const WordAddress& address, uint16_t raw) {
    return FormatOf(address).decimals == 1 ? raw / 10.0 : raw;
}

std::optional<WordValue> CheckWordValue(const WordAddress& address, double value,
                                        std::string& why) {
    const WordFormat format = FormatOf(address);
    const std::string name = address.Text();
    if (!format.writable) {
        why = name + " is the drive's own word and is not written";
        return std::nullopt;
    }
    if (!std::isfinite(value)) {
        why = name + " takes a number";
        return std::nullopt;
    }
    const double scale = format.decimals == 1 ? 10.0 : 1.0;
    const double raw = std::round(value * scale);
    if (raw < 0 || raw > static_cast<double>(format.largestRaw)) {
        why = name + " takes " + RangeText(format);
        return std::nullopt;
    }
    // Division by ten is correctly rounded, so it gives back exactly the double a decimal
    // with one place reads as: any other value would reach the drive changed.
    if (raw / scale != value) {
        why = name + " " + DecimalsText(format.decimals);
        return std::nullopt;
    }
    WordValue checked;
    checked.raw = static_cast<uint16_t>(raw);
    checked.value = ValueOfRaw(address, checked.raw);
    return checked;
}

std::optional<double> ParsePlainDecimal(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    if (!IsPlainDecimal(text)) {
        return std::nullopt;
    }
    const auto read = std::from_chars(text.data(), end, value);
    return read.ec == std::errc() && read.ptr == end ? std::optional<double>(value) : std::nullopt;
}

std::optional<WordValue> ParseWordValue(const WordAddress& address, std::string_view text,
                                        std::string& why) {
    const std::optional<double> value = ParsePlainDecimal(text);
    if (!value) {
        why = address.Text() + " takes a plain decimal number, not \"" + std::string(text) + "\"";
        return std::nullopt;
    }
    const WordFormat format = FormatOf(address);
    if (format.writable && DecimalsWritten(text) > format.decimals) {
        why = address.Text() + " " + DecimalsText(format.decimals);
        return std::nullopt;
    }
    return CheckWordValue(address, *value, why);
}

} // namespace vfdahost
