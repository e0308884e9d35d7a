// One transaction with a drive: a request frame out, an 11-byte answer back, checked and
// decoded, its value handed to the bound tags and its outcome counted and reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CCommBlock;

namespace comm {
class CommLink;
}

class CCommRequest {
public:
    static constexpr size_t kAnswerLength = 11;
    // The answer buffer has one byte more, to end the value field for decoding.
    static constexpr size_t kAnswerBufferSize = kAnswerLength + 1;

    CCommRequest(CCommBlock& block, char command, int32_t parameter, uint16_t value);

    // The request frame: the letter, 0x03 0x01, the station number and the parameter as two
    // digits each and, for a write, the value as four digits. A number that needs more
    // digits makes the frame longer; nothing is cut.
    std::string FormatFrame() const;

    // Sends the frame, receives and checks the answer, and updates the station's counters
    // and supervision. Never retries.
    void Execute(comm::CommLink& link);

    // Checks an answer against the request frame, in order of precedence: frame mark (13),
    // acknowledgement (12), station (16), echo and value (11). On success the value goes
    // to the bindings. `answer` holds kAnswerBufferSize bytes; its last one is overwritten.
    int CheckAnswer(uint8_t* answer, const std::string& frame);

    CCommBlock& Block() const { return m_block; }
    char Command() const { return m_command; }
    int32_t Parameter() const { return m_parameter; }
    // For a read: the value last decoded from the answer.
    uint16_t Value() const { return m_value; }
    bool IsWrite() const;

private:
    int CheckEcho(const uint8_t* answer, const std::string& frame, size_t last) const;
    int DecodeValue(uint8_t* answer);
    void DistributeStatusBytes(const uint8_t* answer);

    CCommBlock& m_block;
    char m_command;
    int32_t m_parameter;
    uint16_t m_value;
};
