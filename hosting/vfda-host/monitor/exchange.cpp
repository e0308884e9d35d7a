#include "exchange.h"

#include "comm/answer_cause.h"
#include "comm/frame_codec.h"
#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace vfdahost {
namespace {

using comm::kAreaD;
using comm::kAreaP;

// The number in `count` decimal digits from `at`; nullopt when they are not all there.
std::optional<int> Digits(const std::vector<uint8_t>& frame, size_t at, size_t count) {
    if (frame.size() < at + count) {
        return std::nullopt;
    }
    int number = 0;
    for (size_t i = at; i < at + count; ++i) {
        if (std::isdigit(frame[i]) == 0) {
            return std::nullopt;
        }
        number = number * 10 + (frame[i] - '0');
    }
    return number;
}

std::string Word(char area, int number) {
    return std::string(1, area) + std::to_string(number);
}

} // namespace

bool Exchange::IsWrite() const {
    return !request.empty() && comm::IsWriteLetter(static_cast<char>(request[0]));
}

std::string Exchange::Address() const {
    const std::optional<int> number = Digits(request, comm::kParameterByte, 2);
    if (!number) {
        return "?";
    }
    switch (Command()) {
    case comm::kLetterReadParameter:
    case comm::kLetterWriteParameter:
        return Word('P', *number);
    case comm::kLetterQueryGroup:
        return *number == comm::kStatusGroup ? "D3-D6" : Word('D', *number);
    case comm::kLetterRunCommand:
        return "D3,D0";
    default:
        return "?";
    }
}

std::vector<HeardWord> HeardWords(const std::vector<uint8_t>& request,
                                  const std::vector<uint8_t>& answer) {
    const std::optional<int> number = Digits(request, comm::kParameterByte, 2);
    if (request.empty() || !number) {
        return {};
    }
    const char letter = static_cast<char>(request[0]);
    const std::string_view frame(reinterpret_cast<const char*>(request.data()), request.size());
    const comm::DecodedAnswer decoded = comm::CheckAnswer(letter, *number, answer, frame);
    if (decoded.result != comm::kSuccess) {
        return {};
    }
    const std::optional<int> written = Digits(request, comm::kValueByte, 4);
    const auto raw = [](int value) { return static_cast<uint16_t>(value); };
    switch (letter) {
    case comm::kLetterReadParameter:
        return {{Word('P', *number), comm::ToHostValue(kAreaP, *number, decoded.value)}};
    case comm::kLetterQueryGroup:
        if (decoded.content == comm::AnswerContent::StatusBytes) {
            std::vector<HeardWord> words;
            for (size_t i = 0; i < decoded.statusWords.size(); ++i) {
                const int word = comm::kFirstStatusWord + static_cast<int>(i);
                words.push_back({Word('D', word), static_cast<double>(decoded.statusWords[i])});
            }
            return words;
        }
        return {{Word('D', *number), comm::ToHostValue(kAreaD, *number, decoded.value)}};
    case comm::kLetterWriteParameter:
        if (!written) {
            return {};
        }
        return {{Word('P', *number), comm::ToHostValue(kAreaP, *number, raw(*written))}};
    case comm::kLetterRunCommand:
        if (!written) {
            return {};
        }
        return {{"D3", static_cast<double>(*number)},
                {"D0", comm::ToHostValue(kAreaD, 0, raw(*written))}};
    default:
        return {};
    }
}

void ExchangeTracker::Finish(const LinePiece* answer, std::vector<Exchange>& done) {
    Exchange exchange;
    exchange.request = std::move(waiting_->bytes);
    exchange.station = comm::FrameStation(exchange.request);
    exchange.noiseBytes = noiseBytes_;
    if (answer != nullptr) {
        exchange.answer = answer->bytes;
        exchange.cause = comm::ClassifyAnswer(exchange.request, exchange.answer);
        if (exchange.cause == AnswerCause::Answered) { // only answers that check out are timed
            exchange.responseMs =
                std::chrono::duration<double, std::milli>(answer->at - waiting_->at).count();
        }
        diagnoses_.Received(exchange.answer, answer->at);
    } else {
        diagnoses_.Settle(std::nullopt);
    }
    if (exchange.cause == AnswerCause::Answered) {
        exchange.words = HeardWords(exchange.request, exchange.answer);
    } else if (exchange.cause == AnswerCause::Refused) {
        exchange.errorCode = Digits(exchange.answer, comm::kValueByte, 4);
    } else if (exchange.cause == AnswerCause::OtherStation) {
        exchange.answeredAs = comm::FrameStation(exchange.answer);
    }
    waiting_.reset();
    noiseBytes_ = 0;
    done.push_back(std::move(exchange));
}

void ExchangeTracker::Take(const LinePiece& piece, std::vector<Exchange>& done) {
    switch (piece.kind) {
    case PieceKind::Request:
        // The same request again at once is an adapter's echo; after the driver's wait for an
        // answer it is the driver asking again.
        if (waiting_ && waiting_->bytes == piece.bytes &&
            piece.at - waiting_->at < LineSplitter::kFrameGap) {
            Finish(&piece, done);
            return;
        }
        if (waiting_) {
            Finish(nullptr, done);
        }
        waiting_ = piece;
        diagnoses_.Sent(piece.bytes, piece.at);
        return;
    case PieceKind::Answer:
        if (waiting_) {
            Finish(&piece, done);
        } else {
            strayBytes_ += static_cast<int64_t>(piece.bytes.size());
        }
        return;
    case PieceKind::Noise:
        if (waiting_) {
            noiseBytes_ += piece.bytes.size();
            diagnoses_.Skipped(piece.bytes);
        } else {
            strayBytes_ += static_cast<int64_t>(piece.bytes.size());
        }
        return;
    }
}

void ExchangeTracker::Settle(std::optional<MonitorClock::time_point> now,
                             std::vector<Exchange>& done) {
    if (waiting_ && (!now || *now - waiting_->at >= kAnswerLimit)) {
        Finish(nullptr, done);
    }
}

} // namespace vfdahost
