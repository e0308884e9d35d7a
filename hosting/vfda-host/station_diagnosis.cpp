#include "station_diagnosis.h"

#include "comm/frame_codec.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vfdahost {
namespace {

// Request and answer frames: the letter, 0x03, a mark (0x01 asked, 0x06 answered), the
// station's two digits, the parameter's two digits, then four value digits.
constexpr size_t kMarkByte = 1;
constexpr size_t kAnswerMarkByte = 2;
constexpr size_t kStationByte = 3;
constexpr size_t kParameterByte = 5;
constexpr size_t kValueByte = 7;
using comm::kAnswerLength;
using comm::kFrameMark;

bool SameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t from, size_t count) {
    if (a.size() < from + count || b.size() < from + count) {
        return false;
    }
    return std::equal(a.begin() + from, a.begin() + from + count, b.begin() + from);
}

bool IsEcho(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
    const size_t common = std::min(sent.size(), received.size());
    return common > kAnswerMarkByte && SameBytes(sent, received, 0, common);
}

// The value digits of an R or Q answer (Q 3 carries status bytes instead).
bool ValueIsNumber(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
    const uint8_t letter = sent[0];
    const bool statusBytes = letter == comm::kLetterQueryGroup &&
                             sent.size() > kParameterByte + 1 && sent[kParameterByte] == '0' &&
                             sent[kParameterByte + 1] == '3';
    if ((letter != comm::kLetterReadParameter && letter != comm::kLetterQueryGroup) ||
        statusBytes) {
        return true;
    }
    return std::all_of(received.begin() + kValueByte, received.begin() + kAnswerLength,
                       [](uint8_t byte) { return std::isdigit(byte) != 0; });
}

} // namespace

AnswerCause ClassifyAnswer(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
    if (received.empty()) {
        return AnswerCause::TimeOut;
    }
    if (IsEcho(sent, received)) {
        return AnswerCause::Echo;
    }
    if (received.size() <= kAnswerMarkByte || received[kMarkByte] != kFrameMark) {
        return AnswerCause::Garbled;
    }
    if (received[kAnswerMarkByte] != comm::kAcknowledge) {
        return AnswerCause::Refused;
    }
    if (received.size() < kAnswerLength) {
        return AnswerCause::Garbled;
    }
    if (!SameBytes(sent, received, kStationByte, 2)) {
        return AnswerCause::OtherStation;
    }
    if (sent[0] == comm::kLetterRunCommand) {
        return AnswerCause::Answered; // a run command's answer carries nothing more to check
    }
    const bool longRequest = sent.size() >= kAnswerLength;
    const bool echoesValue = sent[0] == comm::kLetterWriteParameter;
    if (!SameBytes(sent, received, kParameterByte, longRequest && echoesValue ? 6 : 2)) {
        return AnswerCause::OtherParameter;
    }
    return ValueIsNumber(sent, received) ? AnswerCause::Answered : AnswerCause::Garbled;
}

std::optional<int> FrameStation(std::span<const uint8_t> frame) {
    if (frame.size() < kStationByte + 2 || !std::isdigit(frame[kStationByte]) ||
        !std::isdigit(frame[kStationByte + 1])) {
        return std::nullopt;
    }
    return (frame[kStationByte] - '0') * 10 + (frame[kStationByte + 1] - '0');
}

std::optional<ResponseTimes> SummariseTimes(std::vector<double> samples) {
    if (samples.empty()) {
        return std::nullopt;
    }
    std::sort(samples.begin(), samples.end());
    const auto rank = [&](double fraction) {
        const size_t index = static_cast<size_t>(std::ceil(fraction * samples.size()));
        return samples[std::clamp<size_t>(index, 1, samples.size()) - 1];
    };
    return ResponseTimes{samples.front(), rank(0.5), rank(0.95), samples.back()};
}

void StationDiagnoses::CloseWaiting() {
    if (waitingStation_) {
        Figures& figures = stations_[*waitingStation_];
        ++figures.counts.causes[static_cast<size_t>(AnswerCause::TimeOut)];
        CountNoise(figures.counts);
    }
    waitingStation_.reset();
}

void StationDiagnoses::CountNoise(StationDiagnosis& counts) {
    if (skippedWhileWaiting_ > 0) {
        ++counts.noisy;
        counts.noiseBytes += static_cast<int64_t>(skippedWhileWaiting_);
    }
    skippedWhileWaiting_ = 0;
}

void StationDiagnoses::Skipped(std::span<const uint8_t> bytes) {
    std::lock_guard guard(lock_);
    if (waitingStation_) {
        skippedWhileWaiting_ += bytes.size();
    }
}

void StationDiagnoses::Sent(std::span<const uint8_t> frame, Clock::time_point at) {
    std::lock_guard guard(lock_);
    CloseWaiting();
    waitingStation_ = FrameStation(frame);
    skippedWhileWaiting_ = 0;
    if (!waitingStation_) {
        return;
    }
    ++stations_[*waitingStation_].counts.requests;
    waitingFrame_.assign(frame.begin(), frame.end());
    sentAt_ = at;
}

void StationDiagnoses::Settle(std::optional<Clock::time_point> now) {
    std::lock_guard guard(lock_);
    if (!now || *now - sentAt_ > kReceiveLimit) {
        CloseWaiting();
    }
}

void StationDiagnoses::Received(std::span<const uint8_t> bytes, Clock::time_point at) {
    std::lock_guard guard(lock_);
    if (!waitingStation_) {
        return; // nothing was asked: the answer belongs to no transaction
    }
    Figures& figures = stations_[*waitingStation_];
    const AnswerCause cause = ClassifyAnswer(waitingFrame_, bytes);
    ++figures.counts.causes[static_cast<size_t>(cause)];
    if (cause == AnswerCause::OtherStation) {
        figures.counts.answeredAs = FrameStation(bytes);
    }
    CountNoise(figures.counts);
    if (cause == AnswerCause::Answered) {
        figures.timesMs.push_back(std::chrono::duration<double, std::milli>(at - sentAt_).count());
        if (figures.timesMs.size() > kKeptTimes) {
            figures.timesMs.pop_front();
        }
    }
    waitingStation_.reset();
}

StationDiagnosis StationDiagnoses::Of(int number) const {
    std::lock_guard guard(lock_);
    const auto found = stations_.find(number);
    if (found == stations_.end()) {
        return {};
    }
    StationDiagnosis diagnosis = found->second.counts;
    diagnosis.response =
        SummariseTimes({found->second.timesMs.begin(), found->second.timesMs.end()});
    return diagnosis;
}

std::vector<int> StationDiagnoses::Asked() const {
    std::lock_guard guard(lock_);
    std::vector<int> numbers;
    for (const auto& [number, figures] : stations_) {
        numbers.push_back(number);
    }
    return numbers;
}

void StationDiagnoses::Clear() {
    std::lock_guard guard(lock_);
    stations_.clear();
    waitingStation_.reset();
}

void StationDiagnoses::Clear(int number) {
    std::lock_guard guard(lock_);
    stations_.erase(number);
    if (waitingStation_ == number) {
        waitingStation_.reset();
    }
}

namespace {

std::string TwoDigits(int number) {
    return (number < 10 ? "0" : "") + std::to_string(number);
}

} // namespace

std::vector<Hint> HintsFor(const std::vector<NamedStation>& stations,
                           const StationDiagnoses& diagnoses) {
    std::vector<Hint> hints;
    int64_t asked = 0;
    int64_t answered = 0;
    int64_t echoes = 0;
    size_t stationsAsked = 0;
    std::vector<Hint> silent;
    for (const NamedStation& station : stations) {
        const StationDiagnosis figures = diagnoses.Of(station.number);
        asked += figures.requests;
        stationsAsked += figures.requests > 0 ? 1 : 0;
        answered += figures.Count(AnswerCause::Answered);
        echoes += figures.Count(AnswerCause::Echo);
        if (figures.answeredAs) {
            hints.push_back(
                {station.name, "station " + station.name + " (" + TwoDigits(station.number) +
                                   ") is answered under number " + TwoDigits(*figures.answeredAs) +
                                   ": check the drives' station numbers"});
        }
        if (figures.noisy > 0) {
            hints.push_back({station.name, "noise comes before the answers of station " +
                                               station.name + " (" + TwoDigits(station.number) +
                                               "): check the wiring and the line's termination"});
        }
        if (figures.requests > 0 && figures.Count(AnswerCause::Answered) == 0 &&
            figures.Count(AnswerCause::TimeOut) > 0) {
            silent.push_back({station.name, "station " + station.name + " (" +
                                                TwoDigits(station.number) +
                                                ") never answers: check its number, power and "
                                                "wiring"});
        }
    }
    if (echoes > 0) {
        hints.insert(hints.begin(), {std::nullopt, "the adapter echoes every request: turn "
                                                   "its RS-485 echo off"});
    } else if (asked > 0 && answered == 0 && silent.size() == stationsAsked) {
        hints.insert(hints.begin(), {std::nullopt, "no station answers at all: check the port, "
                                                   "the baud rate and the wiring"});
        return hints;
    }
    hints.insert(hints.end(), silent.begin(), silent.end());
    return hints;
}

} // namespace vfdahost
