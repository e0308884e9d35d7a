#include "comm/comm_request.h"

#include "comm/comm_block.h"
#include "comm/comm_link.h"
#include "comm/decimal_text.h"
#include "comm/result_codes.h"
#include "config/station_info.h"
#include "platform/clock.h"

#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

constexpr char kQueryGroup = 'Q';
constexpr char kReadParameter = 'R';
constexpr char kWriteParameter = 'P';
constexpr char kCommand = 'C';
constexpr uint8_t kFrameMark = 0x03;
constexpr uint8_t kRequestMark = 0x01;
constexpr uint8_t kAcknowledge = 0x06;
constexpr int32_t kStatusGroup = 3;

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
    return frame;
}

void CCommRequest::Execute(comm::CommLink& link) {
    const std::string frame = FormatFrame();
    CStationInfo& station = m_block.Station();
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
    default:
        // A command answer carries nothing to decode.
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
