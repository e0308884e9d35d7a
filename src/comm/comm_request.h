// One transaction with a drive: a request frame out, an 11-byte answer back, checked and
// decoded by the frame codec, its value handed to the bound tags and its outcome counted
// and reported.
//
// Threads: built on any thread (the poll step on the poll thread, tag writes on the host's
// thread) and handed over through the channel's batch lock; Execute and CheckAnswer run on
// the poll thread only (or a test's single thread).
#pragma once

#include "comm/frame_codec.h"

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
    static constexpr size_t kAnswerLength = comm::kAnswerLength;
    // The answer buffer the receive fills: one byte of room past the answer, which the
    // check never reads.
    static constexpr size_t kAnswerBufferSize = kAnswerLength + 1;

    // Which half of a run command is the drive's own word, taken from its D block when the
    // request is executed (so a read queued just before it counts).
    enum class DrivesHalf : uint8_t { None, CommandWord, Frequency };

    CCommRequest(CCommBlock& block, char command, int32_t parameter, uint16_t value);
    // A run command on a D block: the host's half given, the other the drive's.
    static CCommRequest RunCommand(CCommBlock& block, DrivesHalf drivesHalf, int32_t commandWord,
                                   uint16_t frequency);

    // What the frame codec needs: the letter, the station's number, parameter and value.
    comm::RequestFields Fields() const;
    // The request frame (comm::FormatRequest): empty for a run command whose words the
    // drive would not take.
    std::string FormatFrame() const;

    // Sends the frame, receives and checks the answer, and updates the station's counters
    // and supervision. Never retries. True when the station's link counts as lost after
    // this transaction: whoever executes it then forgets the drive's words, since the
    // drive may be reset or replaced while out of reach.
    bool Execute(comm::CommLink& link);

    // Checks an answer against the request frame (comm::CheckAnswer) and, on success, hands
    // its value to the bindings. `answer` holds at least kAnswerLength bytes.
    int CheckAnswer(const uint8_t* answer, const std::string& frame);

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
    // Hands what an accepted answer says to the block.
    void ApplyAnswer(const comm::DecodedAnswer& decoded);

    CCommBlock& m_block;
    char m_command;
    int32_t m_parameter;
    uint16_t m_value;
    DrivesHalf m_drivesHalf = DrivesHalf::None;
};
