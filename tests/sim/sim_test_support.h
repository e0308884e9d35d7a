// Helpers shared by the simulator's tests: a clock the test steps by hand and frame
// builders that read like the bytes on the line.
#pragma once

#include "sim/frame.h"
#include "sim/simulator.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace simtest {

class ManualClock {
public:
    sim::TickSource Source() {
        return [this] { return now_.load(); };
    }
    void Advance(uint32_t ms) { now_ += ms; }

private:
    std::atomic<uint32_t> now_{1000};
};

inline std::vector<uint8_t> Bytes(std::string_view text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// "R", "0105" -> the 7 bytes R 03 01 '0' '1' '0' '5'.
inline std::vector<uint8_t> Frame(char letter, std::string_view digits) {
    std::vector<uint8_t> bytes{static_cast<uint8_t>(letter), 0x03, 0x01};
    bytes.insert(bytes.end(), digits.begin(), digits.end());
    return bytes;
}

inline sim::Request MakeRequest(char letter, std::string_view digits) {
    sim::Request request;
    const std::vector<uint8_t> bytes = Frame(letter, digits);
    if (!sim::DecodeRequest(bytes, request)) {
        request = sim::Request{};
    }
    return request;
}

// The answer's bytes 7-10 as text.
inline std::string ValueField(const std::vector<uint8_t>& answer) {
    return answer.size() < 11 ? std::string()
                              : std::string(answer.begin() + 7, answer.begin() + 11);
}

} // namespace simtest
