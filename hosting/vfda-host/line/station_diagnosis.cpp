#include "station_diagnosis.h"

#include "comm/answer_cause.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace vfdahost {

using comm::ClassifyAnswer;
using comm::FrameStation;

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
    if (!found->second.timesMs.empty()) {
        diagnosis.lastMs = found->second.timesMs.back();
    }
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

std::string StationNumberText(int number) {
    return (number >= 0 && number < 10 ? "0" : "") + std::to_string(number);
}

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
            hints.push_back({station.name, "station " + station.name + " (" +
                                               StationNumberText(station.number) +
                                               ") is answered under number " +
                                               StationNumberText(*figures.answeredAs) +
                                               ": check the drives' station numbers"});
        }
        if (figures.noisy > 0) {
            hints.push_back({station.name, "noise comes before the answers of station " +
                                               station.name + " (" +
                                               StationNumberText(station.number) +
                                               "): check the wiring and the line's termination"});
        }
        if (figures.requests > 0 && figures.Count(AnswerCause::Answered) == 0 &&
            figures.Count(AnswerCause::TimeOut) > 0) {
            silent.push_back({station.name, "station " + station.name + " (" +
                                                StationNumberText(station.number) +
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
