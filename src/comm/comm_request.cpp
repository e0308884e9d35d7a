#include "comm/comm_request.h"

#include "comm/comm_block.h"
#include "comm/comm_link.h"
#include "comm/frame_codec.h"
#include "comm/result_codes.h"
#include "config/station_info.h"
#include "platform/clock.h"

#include <optional>
#include <span>
#include <utility>

namespace {

constexpr size_t kFrequencyWordNumber = 0; // D0
constexpr size_t kCommandWordNumber = 3;   // D3
// The drive reports in D3 the command it runs with bit 7 set while the motor turns (0x85 for
// a running reverse); the command it takes back is the word without that status bit.
constexpr uint16_t kRunningStatusBit = 0x80;

} // namespace

CCommRequest::CCommRequest(CCommBlock& block, char command, int32_t parameter, uint16_t value)
    : m_block(block), m_command(command), m_parameter(parameter), m_value(value) {}

CCommRequest CCommRequest::RunCommand(CCommBlock& block, DrivesHalf drivesHalf, int32_t commandWord,
                                      uint16_t frequency) {
    CCommRequest request(block, comm::kLetterRunCommand, commandWord, frequency);
    request.m_drivesHalf = drivesHalf;
    return request;
}

bool CCommRequest::IsRangeRead() const {
    return m_command == comm::kLetterReadParameter;
}

bool CCommRequest::IsWrite() const {
    return comm::IsWriteLetter(m_command);
}

comm::RequestFields CCommRequest::Fields() const {
    return {m_command, m_block.Station().m_stationNumber, m_parameter, m_value};
}

std::string CCommRequest::FormatFrame() const {
    return comm::FormatRequest(Fields());
}

bool CCommRequest::Execute(comm::CommLink& link) {
    CStationInfo& station = m_block.Station();
    // A command whose other half the read before it did not find (its own failure is
    // reported and counted) is not sent with a guess, nor one whose words its fields cannot
    // hold. Neither reached the line, so neither is counted as a transaction.
    const std::string frame = TakeDrivesHalf() ? FormatFrame() : std::string();
    if (frame.empty()) {
        station.ReportUnsent(comm::kSendFailed); // "cannot send data to station"
        return false;
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
    return station.IsReportedLost();
}

bool CCommRequest::TakeDrivesHalf() {
    std::optional<uint16_t> word;
    switch (m_drivesHalf) {
    case DrivesHalf::None:
        return true;
    case DrivesHalf::CommandWord:
        word = m_block.KnownWord(kCommandWordNumber);
        if (word) {
            m_parameter = *word & ~kRunningStatusBit;
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

int CCommRequest::CheckAnswer(const uint8_t* answer, const std::string& frame) {
    const comm::DecodedAnswer decoded =
        comm::CheckAnswer(m_command, m_parameter, std::span(answer, kAnswerLength), frame);
    if (decoded.content == comm::AnswerContent::Value) {
        m_value = decoded.value; // kept even when the field was no number
    }
    if (decoded.result == comm::kSuccess) {
        ApplyAnswer(decoded);
    }
    return decoded.result;
}

void CCommRequest::ApplyAnswer(const comm::DecodedAnswer& decoded) {
    switch (decoded.content) {
    case comm::AnswerContent::StatusBytes:
        for (size_t i = 0; i < decoded.statusWords.size(); ++i) {
            m_block.DistributeValue(static_cast<uint16_t>(comm::kFirstStatusWord + i),
                                    decoded.statusWords[i]);
        }
        return;
    case comm::AnswerContent::Value:
        m_block.DistributeValue(static_cast<uint16_t>(m_parameter), m_value);
        return;
    case comm::AnswerContent::None:
        break;
    }
    if (m_command == comm::kLetterWriteParameter) {
        // The drive took the value: the bound tags now show what was written.
        m_block.DistributeValue(static_cast<uint16_t>(m_parameter), m_value);
    } else if (m_command == comm::kLetterRunCommand) {
        // The drive now runs the words it took: a command queued behind this one keeps them.
        m_block.SetCacheWord(kCommandWordNumber, static_cast<uint16_t>(m_parameter));
        m_block.SetCacheWord(kFrequencyWordNumber, m_value);
    }
}
