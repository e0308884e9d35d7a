#include "comm/frame_codec.h"

#include "comm/decimal_text.h"

#include <cstdio>

namespace comm {
namespace {

// What the run command's fields hold: two digits of operation command (the drive itself
// refuses those it does not know, 9 and up) and four of frequency.
constexpr int64_t kHighestOperationCommand = kLargestTwoDigits;
constexpr int64_t kHighestFrequency = kLargestFourDigits;

constexpr size_t kStationFirst = kStationByte;
constexpr size_t kStationLast = kStationByte + 1;
constexpr size_t kParameterLast = kParameterByte + 1;
constexpr size_t kValueFirst = kValueByte;
constexpr size_t kValueLast = kAnswerLength - 1;
// Group 3's status bytes: D3 in byte 7, D4 and D5 in the nibbles of byte 8, D6 in byte 10.
constexpr size_t kCommandWordByte = 7;
constexpr size_t kStatusBitmapByte = 8;
constexpr size_t kErrorCodeByte = 10;

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

// Bytes first..last of the answer must repeat those of the request.
bool Echoes(std::span<const uint8_t> answer, std::string_view frame, size_t first, size_t last) {
    for (size_t i = first; i <= last; ++i) {
        if (i >= frame.size() || answer[i] != static_cast<uint8_t>(frame[i])) {
            return false;
        }
    }
    return true;
}

// The value field, bytes 7..10, as a decimal number; a zero byte ends it early.
void DecodeValue(std::span<const uint8_t> answer, DecodedAnswer& decoded) {
    size_t end = kValueFirst;
    while (end <= kValueLast && answer[end] != 0) {
        ++end;
    }
    const std::string_view field(reinterpret_cast<const char*>(answer.data() + kValueFirst),
                                 end - kValueFirst);
    const DecimalText number = ReadDecimal(field);
    decoded.content = AnswerContent::Value;
    decoded.value = static_cast<uint16_t>(number.value);
    decoded.result = number.consumed ? kSuccess : kAnswerMismatch;
}

void DecodeStatusBytes(std::span<const uint8_t> answer, DecodedAnswer& decoded) {
    decoded.content = AnswerContent::StatusBytes;
    decoded.statusWords = {
        answer[kCommandWordByte], static_cast<uint16_t>(answer[kStatusBitmapByte] & 0x0F),
        static_cast<uint16_t>(answer[kStatusBitmapByte] >> 4), answer[kErrorCodeByte]};
}

DecodedAnswer Failed(int result) {
    DecodedAnswer decoded;
    decoded.result = result;
    return decoded;
}

} // namespace

bool IsWriteLetter(char letter) {
    return letter == kLetterRunCommand || letter == kLetterWriteParameter;
}

bool IsRunCommandSendable(int64_t commandWord, int64_t frequency) {
    return commandWord >= 0 && commandWord <= kHighestOperationCommand && frequency >= 0 &&
           frequency <= kHighestFrequency;
}

std::string FormatRequest(const RequestFields& request) {
    std::string frame;
    frame += request.letter;
    frame += static_cast<char>(kFrameMark);
    frame += static_cast<char>(kRequestMark);
    AppendPadded(frame, request.station, 2);
    AppendPadded(frame, request.parameter, 2);
    if (request.letter != kLetterReadParameter && request.letter != kLetterQueryGroup) {
        AppendPadded(frame, request.value, 4);
    }
    if (request.letter == kLetterRunCommand &&
        (frame.size() != kRunCommandLength ||
         !IsRunCommandSendable(request.parameter, request.value))) {
        return {};
    }
    return frame;
}

DecodedAnswer CheckAnswer(char letter, int32_t parameter, std::span<const uint8_t> answer,
                          std::string_view frame) {
    if (answer.size() < kAnswerLength) {
        return Failed(kAnswerMismatch);
    }
    if (answer[kMarkByte] != kFrameMark) {
        return Failed(kFrameMarkWrong);
    }
    if (answer[kAcknowledgeByte] != kAcknowledge) {
        return Failed(kErrorAnswer);
    }
    if (!Echoes(answer, frame, kStationFirst, kStationLast)) {
        return Failed(kStationMismatch);
    }
    DecodedAnswer decoded;
    switch (letter) {
    case kLetterWriteParameter:
        if (!Echoes(answer, frame, kStationLast + 1, kValueLast)) {
            decoded.result = kAnswerMismatch;
        }
        return decoded;
    case kLetterReadParameter:
    case kLetterQueryGroup:
        if (!Echoes(answer, frame, kStationLast + 1, kParameterLast)) {
            decoded.result = kAnswerMismatch;
        } else if (letter == kLetterQueryGroup && parameter == kStatusGroup) {
            DecodeStatusBytes(answer, decoded);
        } else {
            DecodeValue(answer, decoded);
        }
        return decoded;
    default:
        // A run command's answer carries nothing to decode.
        return decoded;
    }
}

} // namespace comm
