#include "sim/simulator.h"

#include "platform/clock.h"

namespace sim {

uint16_t BaudIndex(uint32_t baud) {
    if (baud <= 1200) {
        return 0;
    }
    return baud <= 2400 ? 1 : 2;
}

Simulator::Simulator(const std::vector<int>& stations, uint32_t baud, TickSource clock)
    : clock_(clock ? std::move(clock) : TickSource(platform::TickCount)) {
    const uint32_t now = clock_();
    for (int station : stations) {
        if (station >= 0 && station <= kLastStation) {
            stations_.try_emplace(station,
                                  Station{Drive(station, BaudIndex(baud), now), {}, {}, {}, {}});
        }
    }
}

Simulator::Station* Simulator::Find(int station) {
    auto found = stations_.find(station);
    return found == stations_.end() ? nullptr : &found->second;
}

const Simulator::Station* Simulator::Find(int station) const {
    auto found = stations_.find(station);
    return found == stations_.end() ? nullptr : &found->second;
}

bool Simulator::HasStation(int station) const {
    std::lock_guard guard(lock_);
    return Find(station) != nullptr;
}

std::vector<int> Simulator::Stations() const {
    std::lock_guard guard(lock_);
    std::vector<int> numbers;
    for (const auto& entry : stations_) {
        numbers.push_back(entry.first);
    }
    return numbers;
}

Reply Simulator::Handle(const Request& request) {
    std::lock_guard guard(lock_);
    Station* station = Find(request.station);
    if (station == nullptr) {
        ++framesForAbsentStations_;
        return {};
    }
    StationCounters& counters = station->counters;
    Count(counters, request.letter);
    station->drive.Advance(clock_());
    const FaultKind fault = TakeFault(station->fault, request.letter);
    Reply reply;
    if (request.letter == kLetterRead && station->hiddenParameters.count(request.parameter) != 0) {
        return reply;
    }
    const bool readOnly =
        request.letter == kLetterWrite && station->readOnlyParameters.count(request.parameter) != 0;
    if (fault == FaultKind::Refused) {
        reply.bytes = RefusedAnswer(request, Refusal::Scripted);
    } else if (readOnly) {
        ++counters.refusals;
        reply = SpoilAnswer(fault, RefusedAnswer(request, Refusal::ReadOnly));
    } else {
        reply = SpoilAnswer(fault, Execute(station->drive, request, counters.refusals));
    }
    if (fault == FaultKind::Echo) {
        reply.bytes.insert(reply.bytes.begin(), request.bytes.begin(),
                           request.bytes.begin() + static_cast<std::ptrdiff_t>(request.length));
    }
    if (fault != FaultKind::None) {
        ++counters.faultsInjected;
    }
    if (!reply.bytes.empty()) {
        ++counters.answersSent;
    }
    return reply;
}

bool Simulator::HideParameter(int station, int number) {
    std::lock_guard guard(lock_);
    Station* found = Find(station);
    if (found == nullptr || !IsParameterNumber(number)) {
        return false;
    }
    found->hiddenParameters.insert(number);
    return true;
}

bool Simulator::MakeReadOnly(int station, int number) {
    std::lock_guard guard(lock_);
    Station* found = Find(station);
    if (found == nullptr || !IsParameterNumber(number)) {
        return false;
    }
    found->readOnlyParameters.insert(number);
    return true;
}

void Simulator::Count(StationCounters& counters, uint8_t letter) {
    ++counters.framesReceived;
    switch (letter) {
    case kLetterRead:
        ++counters.reads;
        break;
    case kLetterQuery:
        ++counters.queries;
        break;
    case kLetterWrite:
        ++counters.writes;
        break;
    default:
        ++counters.commands;
        break;
    }
}

Answer Simulator::Execute(Drive& drive, const Request& request, uint64_t& refusals) {
    auto refuse = [&](Outcome outcome) {
        ++refusals;
        return RefusedAnswer(request, RefusalFor(outcome));
    };
    if (request.overlong) {
        return refuse(Outcome::OutOfRange);
    }
    uint16_t value = 0;
    Outcome outcome = Outcome::Ok;
    switch (request.letter) {
    case kLetterRead:
        outcome = drive.ReadParameter(request.parameter, value);
        return outcome == Outcome::Ok ? ValueAnswer(request, value) : refuse(outcome);
    case kLetterQuery:
        if (request.parameter == 3) {
            return StatusAnswer(request, drive.Status());
        }
        if (request.parameter > 2) {
            return refuse(Outcome::UnknownNumber);
        }
        drive.ReadMonitor(request.parameter, value);
        return ValueAnswer(request, value);
    case kLetterWrite:
        outcome = drive.WriteParameter(request.parameter, request.value);
        return outcome == Outcome::Ok ? WriteAnswer(request) : refuse(outcome);
    default:
        outcome = drive.Command(static_cast<uint32_t>(request.parameter), request.value);
        if (outcome != Outcome::Ok) {
            return refuse(outcome);
        }
        uint16_t word = 0;
        drive.ReadMonitor(monitor::kCommandWord, word);
        drive.ReadMonitor(monitor::kFrequencyCommand, value);
        return CommandAnswer(request, word, value);
    }
}

FaultKind Simulator::TakeFault(FaultPlan& plan, uint8_t letter) {
    if (plan.onlyLetter != 0 && plan.onlyLetter != letter) {
        return FaultKind::None;
    }
    const FaultKind kind = plan.kind;
    if (kind != FaultKind::None && plan.remaining > 0 && --plan.remaining == 0) {
        plan.kind = FaultKind::None;
    }
    return kind;
}

bool Simulator::SetFault(int station, FaultKind kind, uint32_t count, uint8_t onlyLetter) {
    std::lock_guard guard(lock_);
    Station* target = Find(station);
    if (target == nullptr) {
        return false;
    }
    if (kind == FaultKind::NoiseStream) {
        noiseStreamStation_ = station;
        noiseStreamOn_ = true;
        return true;
    }
    target->fault = FaultPlan{kind, kind == FaultKind::None ? 0 : count, onlyLetter};
    return true;
}

bool Simulator::ClearFault(int station) {
    std::lock_guard guard(lock_);
    Station* target = Find(station);
    if (target == nullptr) {
        return false;
    }
    target->fault = FaultPlan{};
    if (noiseStreamStation_ == station) {
        noiseStreamStation_ = -1;
        noiseStreamOn_ = false;
    }
    return true;
}

void Simulator::ClearAllFaults() {
    std::lock_guard guard(lock_);
    for (auto& entry : stations_) {
        entry.second.fault = FaultPlan{};
    }
    noiseStreamStation_ = -1;
    noiseStreamOn_ = false;
}

FaultKind Simulator::ActiveFault(int station) const {
    std::lock_guard guard(lock_);
    const Station* target = Find(station);
    return target == nullptr ? FaultKind::None : target->fault.kind;
}

Outcome Simulator::SetWord(int station, Area area, int number, uint32_t value) {
    std::lock_guard guard(lock_);
    Station* target = Find(station);
    if (target == nullptr) {
        return Outcome::UnknownNumber;
    }
    target->drive.Advance(clock_());
    return area == Area::Parameter ? target->drive.ForceParameter(number, value)
                                   : target->drive.ForceMonitor(number, value);
}

Outcome Simulator::GetWord(int station, Area area, int number, uint16_t& value) {
    std::lock_guard guard(lock_);
    Station* target = Find(station);
    if (target == nullptr) {
        return Outcome::UnknownNumber;
    }
    target->drive.Advance(clock_());
    return area == Area::Parameter ? target->drive.ReadParameter(number, value)
                                   : target->drive.ReadMonitor(number, value);
}

bool Simulator::SetLoad(int station, uint16_t percent) {
    std::lock_guard guard(lock_);
    Station* target = Find(station);
    if (target == nullptr) {
        return false;
    }
    target->drive.Advance(clock_());
    target->drive.SetLoadPercent(percent);
    return true;
}

bool Simulator::SetReportsRunning(int station, bool on) {
    std::lock_guard guard(lock_);
    Station* target = Find(station);
    if (target == nullptr) {
        return false;
    }
    target->drive.SetReportsRunning(on);
    return true;
}

std::optional<StationCounters> Simulator::Counters(int station) const {
    std::lock_guard guard(lock_);
    const Station* target = Find(station);
    if (target == nullptr) {
        return std::nullopt;
    }
    return target->counters;
}

uint64_t Simulator::FramesForAbsentStations() const {
    std::lock_guard guard(lock_);
    return framesForAbsentStations_;
}

} // namespace sim
