// One transaction with a drive: a request frame out, an 11-byte answer back, checked and
// decoded, its value handed to the bound tags and its outcome counted and reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CCommBlock;
class CStationInfo;

namespace comm {
class CommLink;
}

class CCommRequest {
public:
    static constexpr size_t kAnswerLength = 11;
    // The answer buffer has one byte more, to end the value field for decoding.
    static constexpr size_t kAnswerBufferSize = kAnswerLength + 1;

    // Which half of a run command is the drive's own word, taken from its D block when the
    // request is executed (so a read queued just before it counts).
    enum class DrivesHalf : uint8_t { None, CommandWord, Frequency };

    CCommRequest(CCommBlock& block, char command, int32_t parameter, uint16_t value);
    // A run command on a D block: the host's half given, the other the drive's. tagName
    // names the written tag when the command is refused.
    static CCommRequest RunCommand(CCommBlock& block, DrivesHalf drivesHalf, int32_t commandWord,
                                   uint16_t frequency, std::string tagName);

    // True when a run command's words are ones the drive takes: an operation command 0..8
    // and a frequency of four digits at most. Anything else would make the frame longer
    // than the drive reads, and it would take the wrong command.
    static bool IsRunCommandSendable(int64_t commandWord, int64_t frequency);
    // Counts a write that never reached the line as a failed one in the station's
    // statistics.
    static void CountRefusedWrite(CStationInfo& station);

    // The request frame: the letter, 0x03 0x01, the station number and the parameter as two
    // digits each and, for a write, the value as four digits. A number that needs more
    // digits makes the frame longer; nothing is cut. A run command is never longer than
    // its 11 bytes: one whose words the drive would not take formats as empty.
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
    // An 'R' request: one parameter of a range read.
    bool IsRangeRead() const;

private:
    // Puts the drive's known word into a run command's other half; false when it is not
    // known.
    bool TakeDrivesHalf();
    // A run command that cannot be sent: logged with the tag's name and counted.
    void RefuseRunCommand();
    int CheckEcho(const uint8_t* answer, const std::string& frame, size_t last) const;
    int DecodeValue(uint8_t* answer);
    void DistributeStatusBytes(const uint8_t* answer);

    CCommBlock& m_block;
    char m_command;
    int32_t m_parameter;
    uint16_t m_value;
    DrivesHalf m_drivesHalf = DrivesHalf::None;
    std::string m_tagName;
};
