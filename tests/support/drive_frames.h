// Frames as the line carries them, written out for tests that classify answers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

inline std::vector<uint8_t> FrameBytes(const std::string& text) {
    return {text.begin(), text.end()};
}

// A read request of parameter 05 from `station` (two digits).
inline std::vector<uint8_t> ReadRequest(const std::string& station) {
    return FrameBytes(std::string("R\x03\x01") + station + "05");
}

// An answer to it: the station, what follows it (the parameter and the value), the mark.
inline std::vector<uint8_t> ReadAnswer(const std::string& station,
                                       const std::string& rest = "050123", char mark = '\x06') {
    return FrameBytes(std::string("R\x03") + mark + station + rest);
}

} // namespace testing_support
