// The words of a drive a commissioning command names (P0..P80, D0..D6) and the values it may
// write to them. Every door a value comes in by (the write command, a run's write, a backup
// file) goes through the same check, so only a value that reaches the drive as it was asked
// is ever sent: a plain decimal, with no more decimals than the word carries, whose raw word
// fits the frame's field.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vfdahost {

// An address of one station's word: P0..P80 or D0..D6.
struct WordAddress {
    char area = 'P';
    int number = 0;
    std::string Text() const { return area + std::to_string(number); }
};
std::optional<WordAddress> ParseWordAddress(const std::string& text);
// One address, or a range of one area from its first to its last ("P10-P15", "P10-15",
// "D0-D6"), in order.
std::optional<std::vector<WordAddress>> ParseWordAddresses(const std::string& text);

// How a word's value becomes the raw word the frame carries.
struct WordFormat {
    bool writable = false; // P0..P80, D0 and D3; the other D words are the drive's own
    int decimals = 0;      // one for the words sent x 10
    long largestRaw = 0;   // what the frame's field holds
};
WordFormat FormatOf(const WordAddress& address);

// A value checked for its word: the raw word sent, and the value it stands for.
struct WordValue {
    uint16_t raw = 0;
    double value = 0;
};

// The raw word of a value for its word; nothing, with `why` set, when the word is not
// written or the value does not reach the drive as it is (too many decimals, out of range).
std::optional<WordValue> CheckWordValue(const WordAddress& address, double value, std::string& why);
// A typed number written the plain way people write one ("12", "-3", "7.5"): no sign '+',
// exponent, hexadecimal, nan or infinity, and within a double's range.
std::optional<double> ParsePlainDecimal(std::string_view text);
// CheckWordValue for a typed value, which must first be a plain decimal ("12", "-3", "7.5"): no
// sign '+', exponent, hexadecimal, nan or infinity.
std::optional<WordValue> ParseWordValue(const WordAddress& address, std::string_view text,
                                        std::string& why);

// The value a raw word stands for: raw / 10 for the words carrying a decimal.
double ValueOfRaw(const WordAddress& address, uint16_t raw);

} // namespace vfdahost
