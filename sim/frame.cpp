#include "sim/frame.h"

#include <algorithm>

namespace sim {
namespace {

uint32_t ReadDigits(std::span<const uint8_t> digits) {
    uint32_t number = 0;
    for (uint8_t digit : digits) {
        number = number * 10 + static_cast<uint32_t>(digit - '0');
    }
    return number;
}

// Writes value as count zero-padded decimal digits; larger values are clipped so the
// field never grows past its width.
void PutDigits(uint8_t* out, int count, uint32_t value) {
    uint32_t limit = 1;
    for (int i = 0; i < count; ++i) {
        limit *= 10;
    }
    value = std::min(value, limit - 1);
    for (int i = count - 1; i >= 0; --i) {
        out[i] = static_cast<uint8_t>('0' + value % 10);
        value /= 10;
    }
}

// Letter, frame mark, acknowledgement, then the station and parameter echoed as received.
Answer AnswerHead(const Request& request, uint8_t acknowledgement) {
    Answer answer(kAnswerLength, '0');
    answer[0] = request.letter;
    answer[1] = kFrameMark;
    answer[2] = acknowledgement;
    std::copy_n(request.bytes.begin() + 3, 4, answer.begin() + 3);
    return answer;
}

} // namespace

bool IsRequestLetter(uint8_t byte) {
    return byte == kLetterRead || byte == kLetterQuery || byte == kLetterWrite ||
           byte == kLetterCommand;
}

size_t RequestLength(uint8_t letter) {
    return letter == kLetterRead || letter == kLetterQuery ? kShortRequestLength
                                                           : kLongRequestLength;
}

bool IsDigit(uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

bool DecodeRequest(std::span<const uint8_t> bytes, Request& request) {
    if (bytes.size() < kShortRequestLength || !IsRequestLetter(bytes[0]) ||
        bytes.size() != RequestLength(bytes[0]) || bytes[1] != kFrameMark ||
        bytes[2] != kRequestMark ||
        !std::all_of(bytes.begin() + 3, bytes.end(), [](uint8_t b) { return IsDigit(b); })) {
        return false;
    }
    request = Request{};
    std::copy(bytes.begin(), bytes.end(), request.bytes.begin());
    request.length = bytes.size();
    request.letter = bytes[0];
    request.station = static_cast<int>(ReadDigits(bytes.subspan(3, 2)));
    request.parameter = static_cast<int>(ReadDigits(bytes.subspan(5, 2)));
    if (bytes.size() == kLongRequestLength) {
        request.value = ReadDigits(bytes.subspan(7, 4));
    }
    return true;
}

Answer ValueAnswer(const Request& request, uint16_t value) {
    Answer answer = AnswerHead(request, kAnswerGood);
    PutDigits(&answer[7], 4, value);
    return answer;
}

Answer StatusAnswer(const Request& request, const StatusBytes& status) {
    Answer answer = AnswerHead(request, kAnswerGood);
    answer[7] = status.commandWord;
    answer[8] = status.bitmap;
    answer[9] = 0x00;
    answer[10] = status.errorCode;
    return answer;
}

Answer WriteAnswer(const Request& request) {
    Answer answer = AnswerHead(request, kAnswerGood);
    std::copy_n(request.bytes.begin() + 7, 4, answer.begin() + 7);
    return answer;
}

Answer CommandAnswer(const Request& request, uint16_t commandWord, uint16_t frequency) {
    Answer answer = AnswerHead(request, kAnswerGood);
    PutDigits(&answer[5], 2, commandWord);
    PutDigits(&answer[7], 4, frequency);
    return answer;
}

Answer RefusedAnswer(const Request& request, Refusal reason) {
    Answer answer = AnswerHead(request, kAnswerRefused);
    PutDigits(&answer[7], 4, static_cast<uint16_t>(reason));
    return answer;
}

std::string ToHex(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

} // namespace sim
