// Request and answer frames of the DELTA VFD-A serial protocol, as the drive sees them.
// Requests carry no terminator or checksum: the letter fixes the length (R, Q 7 bytes;
// P, C 11 bytes). Every answer is 11 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

inline constexpr uint8_t kLetterRead = 'R';    // read one parameter
inline constexpr uint8_t kLetterQuery = 'Q';   // read one status group 0-3
inline constexpr uint8_t kLetterWrite = 'P';   // write one parameter
inline constexpr uint8_t kLetterCommand = 'C'; // operation command word and frequency

inline constexpr uint8_t kFrameMark = 0x03;   // byte 1 of requests and answers
inline constexpr uint8_t kRequestMark = 0x01; // byte 2 of a request
inline constexpr uint8_t kAnswerGood = 0x06;  // byte 2 of an accepted request's answer
inline constexpr uint8_t kAnswerRefused = 0x07;

inline constexpr size_t kShortRequestLength = 7;
inline constexpr size_t kLongRequestLength = 11;
inline constexpr size_t kAnswerLength = 11;

bool IsRequestLetter(uint8_t byte);
// 7 or 11 for a request letter.
size_t RequestLength(uint8_t letter);
bool IsDigit(uint8_t byte);

// A complete request as it came off the line.
struct Request {
    std::array<uint8_t, kLongRequestLength> bytes{};
    size_t length = 0;
    uint8_t letter = 0;
    int station = 0;
    int parameter = 0; // the parameter, the group, or (C) the operation command word
    uint32_t value = 0;
    // A number was printed wider than its field (a value above 9999, a command word above
    // 99): the extra digits followed the frame at once. The drive refuses such a frame.
    bool overlong = false;
};

// Builds a request from its bytes (checked: letter, marks, digits, length).
bool DecodeRequest(std::span<const uint8_t> bytes, Request& request);

using Answer = std::vector<uint8_t>;

// Why the drive refused a request, sent as four digits in the refused answer's value field.
enum class Refusal : uint16_t {
    UnknownNumber = 1, // no such parameter or group
    OutOfRange = 2,    // value outside the parameter's range, or an overlong number
    ReadOnly = 3,      // the parameter cannot be written (or the parameter lock is on)
    NotAllowed = 4,    // not in the drive's present state (run while tripped, reverse inhibited)
    Scripted = 9,      // a refusal injected by the fault script
};

// The status bytes of a group-3 answer.
struct StatusBytes {
    uint8_t commandWord = 0; // D3
    uint8_t bitmap = 0;      // low nibble D4, high nibble D5
    uint8_t errorCode = 0;   // D6
};

// R, and Q with group 0-2: the value as four decimal digits.
Answer ValueAnswer(const Request& request, uint16_t value);
// Q with group 3: command word, status bitmap, an unused byte, error code.
Answer StatusAnswer(const Request& request, const StatusBytes& status);
// P: bytes 5-10 echo the request.
Answer WriteAnswer(const Request& request);
// C: the parameter field is the command word now in force, the value field the frequency
// command now in force.
Answer CommandAnswer(const Request& request, uint16_t commandWord, uint16_t frequency);
Answer RefusedAnswer(const Request& request, Refusal reason);

// "52 03 01 30 31" for tracing.
std::string ToHex(std::span<const uint8_t> bytes);

} // namespace sim
