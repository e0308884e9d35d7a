// The frames exchanged with a drive, as pure functions: a request is formatted from its
// letter, station number, parameter and value; an answer is checked against the request
// and its value or status bytes decoded. Nothing here knows a block, a channel or a line.
#pragma once

#include "comm/result_codes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace comm {

// The request letters the module sends.
inline constexpr char kLetterReadParameter = 'R';  // one P parameter
inline constexpr char kLetterQueryGroup = 'Q';     // one status group 0-3
inline constexpr char kLetterWriteParameter = 'P'; // one P parameter
inline constexpr char kLetterRunCommand = 'C';     // the command word (D3) and frequency (D0)

inline constexpr uint8_t kFrameMark = 0x03;   // byte 1 of requests and answers
inline constexpr uint8_t kRequestMark = 0x01; // byte 2 of a request
inline constexpr uint8_t kAcknowledge = 0x06; // byte 2 of an answer the drive accepted

// Where the fields sit, in requests and answers alike: the letter, the frame mark, the
// request mark or the answer's acknowledgement, the station's two digits, the parameter's
// (or group's) two digits, then four value digits (group 3's answer: status bytes).
inline constexpr size_t kMarkByte = 1;
inline constexpr size_t kAcknowledgeByte = 2;
inline constexpr size_t kStationByte = 3;
inline constexpr size_t kParameterByte = 5;
inline constexpr size_t kValueByte = 7;
// What the drive puts in byte 2 when it refuses a request (the module takes anything but
// kAcknowledge as a refusal).
inline constexpr uint8_t kRefusal = 0x07;

// The largest numbers a frame's two-digit and four-digit fields hold.
inline constexpr int64_t kLargestTwoDigits = 99;
inline constexpr int64_t kLargestFourDigits = 9999;

inline constexpr size_t kQueryLength = 7; // R and Q carry no value
inline constexpr size_t kAnswerLength = 11;
// What the drive reads of a run command; a longer frame would shift every field.
inline constexpr size_t kRunCommandLength = 11;
// The status group whose answer carries status bytes (D3 to D6) instead of a value.
inline constexpr int32_t kStatusGroup = 3;
inline constexpr uint16_t kFirstStatusWord = 3;

// The fields of one request. A number wider than its field widens the frame: the drive's
// own format, "%02d" and "%04d", cuts nothing.
// Threads: every function here is pure; any thread.
struct RequestFields {
    char letter = 0;
    int32_t station = 0;
    int32_t parameter = 0; // the parameter, the group, or (run command) the command word
    uint16_t value = 0;    // written by P and C only
};

// True for the letters that change the drive (P and C): their transactions count as writes.
bool IsWriteLetter(char letter);

// True when a run command's words fit its fields: an operation command of two digits
// (0..99) and a frequency of four (0..9999). Anything else would make the frame longer than
// the drive reads, and it would take the wrong command.
bool IsRunCommandSendable(int64_t commandWord, int64_t frequency);

// The request frame: the letter, 0x03 0x01, the station and the parameter as two digits
// each and, for every letter but R and Q, the value as four digits. A run command whose
// words the drive would not take formats as empty.
std::string FormatRequest(const RequestFields& request);

// What a checked answer carries besides its result.
enum class AnswerContent : uint8_t {
    None,        // nothing decoded: C, P, or a check failed before the value was read
    Value,       // R, or Q of groups 0-2: `value` holds the decoded word
    StatusBytes, // Q of group 3: `statusWords` holds D3, D4, D5 and D6
};

struct DecodedAnswer {
    int result = kSuccess;
    AnswerContent content = AnswerContent::None;
    // The value field read as the drive's decimal number, truncated to 16 bits; set even
    // when the field held something else (the result then says so).
    uint16_t value = 0;
    std::array<uint16_t, 4> statusWords{};
};

// Checks an answer against the request that `frame` carries (letter and parameter given
// as the request has them), in order of precedence: frame mark (13), acknowledgement (12),
// station (16), echo and value (11). An answer shorter than kAnswerLength is no answer of
// the drive's: it yields 11 before any other check. Bytes after the 11th are not read.
DecodedAnswer CheckAnswer(char letter, int32_t parameter, std::span<const uint8_t> answer,
                          std::string_view frame);

} // namespace comm
