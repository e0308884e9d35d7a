#include "comm/comm_request.h"

#include "comm/comm_block.h"
#include "comm/comm_channel.h"
#include "comm/comm_link.h"
#include "comm/decimal_text.h"
#include "comm/result_codes.h"
#include "config/station_info.h"
#include "host_link/message_log.h"
#include "platform/clock.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace {

constexpr char kQueryGroup = 'Q';
constexpr char kReadParameter = 'R';
constexpr char kWriteParameter = 'P';
constexpr char kCommand = 'C';
constexpr uint8_t kFrameMark = 0x03;
constexpr uint8_t kRequestMark = 0x01;
constexpr uint8_t kAcknowledge = 0x06;
constexpr int32_t kStatusGroup = 3;
constexpr size_t kFrequencyWordNumber = 0; // D0
constexpr size_t kCommandWordNumber = 3;   // D3
// The operation commands the drive takes: 0 stop, 1 forward, 2 stop, 3 reverse, 4 to 7
// jog, 8 reset after a fault. The frequency field holds four digits.
constexpr int64_t kHighestOperationCommand = 8;
constexpr int64_t kHighestFrequency = 9999;
// What the drive reads of a run command; a longer frame would shift every field.
constexpr size_t kRunCommandLength = 11;
// Logged, with the tag's name, for a write the drive must not be sent.
constexpr int kNotWritable = 17;

constexpr size_t kMarkByte = 1;
constexpr size_t kAcknowledgeByte = 2;
constexpr size_t kStationFirst = 3;
constexpr size_t kStationLast = 4;
constexpr size_t kParameterLast = 6;
constexpr size_t kValueFirst = 7;
constexpr size_t kValueLast = 10;

// printf's "%0*d": a sign, then zeros up to the width. Any 64-bit number fits the buffer.
// Numbers that are not negative, as every frame field normally is, are written digit by
// digit: a frame is formatted for every transaction.
void AppendPadded(std::string& frame, int64_t number, int width) {
    if (number < 0) {
        char text[32];
        std::snprintf(text, sizeof(text), "%0*lld", width, static_cast<long long>(number));
        frame += text;
        return;
    }
    char digits[24];
    int count = 0;
    auto rest = static_cast<uint64_t>(number);
    do {
        digits[count++] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    frame.append(static_cast<size_t>(width > count ? width - count : 0), '0');
    while (count > 0) {
        frame += digits[--count];
    }
}

} // namespace

CCommRequest::CCommRequest(CCommBlock& block, char command, int32_t parameter, uint16_t value)
    : m_block(block), m_command(command), m_parameter(parameter), m_value(value) {}

CCommRequest CCommRequest::RunCommand(CCommBlock& block, DrivesHalf drivesHalf, int32_t commandWord,
                                      uint16_t frequency, std::string tagName) {
    CCommRequest request(block, kCommand, commandWord, frequency);
    request.m_drivesHalf = drivesHalf;
    request.m_tagName = std::move(tagName);
    return request;
}

bool CCommRequest::IsRunCommandSendable(int64_t commandWord, int64_t frequency) {
    return commandWord >= 0 && commandWord <= kHighestOperationCommand && frequency >= 0 &&
           frequency <= kHighestFrequency;
}

void CCommRequest::CountRefusedWrite(CStationInfo& station) {
    ++station.m_writeRequests;
    ++station.m_writeFailures;
    station.m_lastFailureTime = platform::CalendarTime();
}

bool CCommRequest::IsRangeRead() const {
    return m_command == kReadParameter;
}

bool CCommRequest::IsWrite() const {
    return m_command == kCommand || m_command == kWriteParameter;
}

std::string CCommRequest::FormatFrame() const {
    std::string frame;
    frame += m_command;
    frame += static_cast<char>(kFrameMark);
    frame += static_cast<char>(kRequestMark);
    AppendPadded(frame, m_block.Station().m_stationNumber, 2);
    AppendPadded(frame, m_parameter, 2);
    if (m_command != kReadParameter && m_command != kQueryGroup) {
        AppendPadded(frame, m_value, 4);
    }
    if (m_command == kCommand &&
        (frame.size() != kRunCommandLength || !IsRunCommandSendable(m_parameter, m_value))) {
        return {};
    }
    return frame;
}

void CCommRequest::Execute(comm::CommLink& link) {
    CStationInfo& station = m_block.Station();
    if (!TakeDrivesHalf()) {
        // The read queued before it found nothing (its own failure is reported): the
        // command is not sent with a guess.
        CountRefusedWrite(station);
        return;
    }
    const std::string frame = FormatFrame();
    if (frame.empty()) {
        RefuseRunCommand();
        return;
    }
    std::atomic<int32_t>& requests = IsWrite() ? station.m_writeRequests : station.m_readRequests;
    std::atomic<int32_t>& failures = IsWrite() ? station.m_writeFailures : station.m_readFailures;
    ++requests;

    uint8_t answer[kAnswerBufferSize] = {};
    int result = link.SendFrame(reinterpret_cast<const uint8_t*>(frame.data()), frame.size());
    if (result == comm::kSuccess) {
        result = link.ReceiveFrame(answer, kAnswerLength, static_cast<uint8_t>(frame[0]));
    }
    if (result == comm::kSuccess) {
        result = CheckAnswer(answer, frame);
    }
    if (result != comm::kSuccess) {
        ++failures;
        station.m_lastFailureTime = platform::CalendarTime();
    }
    station.ReportResult(result, nullptr);
    if (station.m_consecutiveFailures >= CStationInfo::kLinkLostThreshold) {
        // The drive may have been reset or replaced while out of reach: once the link is
        // back, its words are read again before a command carries them.
        m_block.Channel().ForgetDriveWords(&station);
    }
}

bool CCommRequest::TakeDrivesHalf() {
    std::optional<uint16_t> word;
    switch (m_drivesHalf) {
    case DrivesHalf::None:
        return true;
    case DrivesHalf::CommandWord:
        word = m_block.KnownWord(kCommandWordNumber);
        if (word) {
            m_parameter = *word;
        }
        break;
    case DrivesHalf::Frequency:
        word = m_block.KnownWord(kFrequencyWordNumber);
        if (word) {
            m_value = *word;
        }
        break;
    }
    return word.has_value();
}

void CCommRequest::RefuseRunCommand() {
    driver::LogMessage(kNotWritable, driver::kTransactionFailure, m_tagName.c_str());
    CountRefusedWrite(m_block.Station());
}

int CCommRequest::CheckAnswer(uint8_t* answer, const std::string& frame) {
    if (answer[kMarkByte] != kFrameMark) {
        return comm::kFrameMarkWrong;
    }
    if (answer[kAcknowledgeByte] != kAcknowledge) {
        return comm::kErrorAnswer;
    }
    for (size_t i = kStationFirst; i <= kStationLast; ++i) {
        if (i >= frame.size() || answer[i] != static_cast<uint8_t>(frame[i])) {
            return comm::kStationMismatch;
        }
    }
    // The receive starts the answer at the request's letter, so it is also answer[0].
    switch (m_command) {
    case kWriteParameter:
        if (CheckEcho(answer, frame, kValueLast) != comm::kSuccess) {
            return comm::kAnswerMismatch;
        }
        // The drive took the value: the bound tags now show what was written.
        m_block.DistributeValue(static_cast<uint16_t>(m_parameter), m_value);
        return comm::kSuccess;
    case kReadParameter:
    case kQueryGroup:
        if (CheckEcho(answer, frame, kParameterLast) != comm::kSuccess) {
            return comm::kAnswerMismatch;
        }
        if (m_command == kQueryGroup && m_parameter == kStatusGroup) {
            DistributeStatusBytes(answer);
            return comm::kSuccess;
        }
        if (DecodeValue(answer) != comm::kSuccess) {
            return comm::kAnswerMismatch;
        }
        m_block.DistributeValue(static_cast<uint16_t>(m_parameter), m_value);
        return comm::kSuccess;
    case kCommand:
        // A command answer carries nothing to decode, but the drive now runs the words it
        // took: a command queued behind this one keeps them.
        m_block.SetCacheWord(kCommandWordNumber, static_cast<uint16_t>(m_parameter));
        m_block.SetCacheWord(kFrequencyWordNumber, m_value);
        return comm::kSuccess;
    default:
        return comm::kSuccess;
    }
}

// Bytes 5..last of the answer must repeat those of the request.
int CCommRequest::CheckEcho(const uint8_t* answer, const std::string& frame, size_t last) const {
    for (size_t i = kStationLast + 1; i <= last; ++i) {
        if (i >= frame.size() || answer[i] != static_cast<uint8_t>(frame[i])) {
            return comm::kAnswerMismatch;
        }
    }
    return comm::kSuccess;
}

// The value field, bytes 7..10, as a decimal number; a zero byte ends it early.
int CCommRequest::DecodeValue(uint8_t* answer) {
    answer[kAnswerLength] = 0;
    const char* field = reinterpret_cast<const char*>(answer + kValueFirst);
    const comm::DecimalText value = comm::ReadDecimal(std::string_view(field, std::strlen(field)));
    m_value = static_cast<uint16_t>(value.value);
    return value.consumed ? comm::kSuccess : comm::kAnswerMismatch;
}

// Group 3 answers with status bytes: D3 in byte 7, D4 and D5 in the low and high nibble of
// byte 8, D6 in byte 10.
void CCommRequest::DistributeStatusBytes(const uint8_t* answer) {
    m_block.DistributeValue(3, answer[7]);
    m_block.DistributeValue(4, static_cast<uint16_t>(answer[8] & 0x0F));
    m_block.DistributeValue(5, static_cast<uint16_t>(answer[8] >> 4));
    m_block.DistributeValue(6, answer[10]);
}
