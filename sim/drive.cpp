#include "sim/drive.h"

#include <algorithm>
#include <cmath>

namespace sim {

Refusal RefusalFor(Outcome outcome) {
    switch (outcome) {
    case Outcome::UnknownNumber:
        return Refusal::UnknownNumber;
    case Outcome::ReadOnly:
        return Refusal::ReadOnly;
    case Outcome::NotAllowed:
        return Refusal::NotAllowed;
    case Outcome::Ok:
    case Outcome::OutOfRange:
        break;
    }
    return Refusal::OutOfRange;
}

Drive::Drive(int station, uint16_t baudIndex, uint32_t nowMs)
    : station_(station), baudIndex_(baudIndex), lastMs_(nowMs) {
    RestoreDefaults();
}

// The fault records survive: they are the drive's history, not its settings.
void Drive::RestoreDefaults() {
    const uint16_t lastFault = parameters_[param::kLastFault];
    const uint16_t previousFault = parameters_[param::kPreviousFault];
    for (int number = 0; number <= kLastParameter; ++number) {
        parameters_[static_cast<size_t>(number)] = Parameter(number).factoryDefault;
    }
    parameters_[param::kLastFault] = lastFault;
    parameters_[param::kPreviousFault] = previousFault;
}

void Drive::Advance(uint32_t nowMs) {
    double remainingMs = static_cast<double>(nowMs - lastMs_);
    lastMs_ = nowMs;
    const double target = TargetOutput();
    while (remainingMs > 0.0 && output_ != target) {
        // A change of direction ramps down through zero before it ramps up again.
        const bool crossesZero = (output_ > 0.0 && target < 0.0) || (output_ < 0.0 && target > 0.0);
        const double goal = crossesZero ? 0.0 : target;
        const bool speedingUp = std::abs(goal) > std::abs(output_);
        const double rate =
            RatePerMs(speedingUp ? param::kAccelerationTime : param::kDecelerationTime);
        const double distance = std::abs(goal - output_);
        if (distance <= rate * remainingMs) {
            output_ = goal;
            remainingMs -= distance / rate;
        } else {
            output_ += (goal > output_ ? rate : -rate) * remainingMs;
            remainingMs = 0.0;
        }
    }
}

// The time parameters give the time from 0 to the maximum output frequency.
double Drive::RatePerMs(int timeParameter) const {
    const double tenthsOfSecond = std::max<uint16_t>(Stored(timeParameter), 1);
    return Stored(param::kMaxOutputFrequency) / (tenthsOfSecond * 100.0);
}

double Drive::TargetOutput() const {
    if (!runCommanded_ || faultCode_ != 0) {
        return 0.0;
    }
    const uint16_t upper =
        std::min(Stored(param::kMaxOutputFrequency), Stored(param::kUpperFrequencyLimit));
    const uint16_t lower = std::min(Stored(param::kLowerFrequencyLimit), upper);
    const double frequency = std::clamp(frequencyCommand_, lower, upper);
    return reverse_ ? -frequency : frequency;
}

bool Drive::Accelerating() const {
    const double target = TargetOutput();
    const bool crossesZero = (output_ > 0.0 && target < 0.0) || (output_ < 0.0 && target > 0.0);
    return !crossesZero && std::abs(target) > std::abs(output_);
}

uint16_t Drive::OutputFrequency() const {
    return static_cast<uint16_t>(std::lround(std::abs(output_)));
}

// No current without output; otherwise the no-load current plus the load's share of the
// rest of the rated current, and half the rated current more while accelerating.
uint16_t Drive::OutputCurrent() const {
    if (OutputFrequency() == 0) {
        return 0;
    }
    const double rated = Stored(param::kMotorRatedCurrent);
    const double noLoad = std::min<double>(Stored(param::kMotorNoLoadCurrent), rated);
    double current = noLoad + (rated - noLoad) * loadPercent_ / 100.0;
    if (Accelerating()) {
        current += rated / 2.0;
    }
    return static_cast<uint16_t>(std::lround(std::min(current, 9999.0)));
}

uint8_t Drive::StatusNibble() const {
    uint8_t bits = 0;
    if (runCommanded_ || output_ != 0.0) {
        bits |= status::kRunning;
    }
    if (reverse_) {
        bits |= status::kReverse;
    }
    const double target = TargetOutput();
    if (runCommanded_ && target != 0.0 && output_ == target) {
        bits |= status::kAtFrequency;
    }
    if (faultCode_ != 0) {
        bits |= status::kTripped;
    }
    return bits;
}

Outcome Drive::ReadParameter(int number, uint16_t& value) const {
    if (!IsParameterNumber(number)) {
        return Outcome::UnknownNumber;
    }
    if (number == param::kStationAddress) {
        value = static_cast<uint16_t>(station_);
    } else if (number == param::kLineSpeed) {
        value = baudIndex_;
    } else {
        value = Stored(number);
    }
    return Outcome::Ok;
}

Outcome Drive::WriteParameter(int number, uint32_t value) {
    if (!IsParameterNumber(number)) {
        return Outcome::UnknownNumber;
    }
    const bool locked = Stored(param::kParameterLock) != 0 && number != param::kParameterLock;
    if (Parameter(number).access != Access::ReadWrite || locked) {
        return Outcome::ReadOnly;
    }
    return ForceParameter(number, value);
}

Outcome Drive::ForceParameter(int number, uint32_t value) {
    if (!IsParameterNumber(number)) {
        return Outcome::UnknownNumber;
    }
    const ParameterInfo& info = Parameter(number);
    if (info.access == Access::Derived) {
        return Outcome::NotAllowed;
    }
    if (value < info.minimum || value > info.maximum) {
        return Outcome::OutOfRange;
    }
    if (number == param::kRestoreDefaults && value == param::kRestoreDefaultsCode) {
        RestoreDefaults();
        return Outcome::Ok;
    }
    parameters_[static_cast<size_t>(number)] = static_cast<uint16_t>(value);
    return Outcome::Ok;
}

Outcome Drive::Command(uint32_t word, uint32_t frequency) {
    if (word > command::kHighest || frequency > Stored(param::kMaxOutputFrequency)) {
        return Outcome::OutOfRange;
    }
    const bool jog = word >= command::kJogFirst && word <= command::kJogLast;
    const bool run = word == command::kRun || word == command::kReverse || jog;
    const bool reverse = word == command::kReverse || (jog && (word & 1) != 0);
    if (run && faultCode_ != 0) {
        return Outcome::NotAllowed;
    }
    if (run && reverse && Stored(param::kReverseInhibit) != 0) {
        return Outcome::NotAllowed;
    }
    frequencyCommand_ = static_cast<uint16_t>(frequency);
    commandWord_ = static_cast<uint16_t>(word);
    if (word == command::kReset) {
        faultCode_ = 0;
    }
    if (run) {
        runCommanded_ = true;
        reverse_ = reverse;
        return Outcome::Ok;
    }
    runCommanded_ = false;
    if (Stored(param::kStopMethod) == 1) {
        output_ = 0.0; // coast
    }
    return Outcome::Ok;
}

uint16_t Drive::ReportedCommandWord() const {
    const bool turning = runCommanded_ || output_ != 0.0;
    return reportsRunning_ && turning ? commandWord_ | command::kRunningMark : commandWord_;
}

Outcome Drive::ReadMonitor(int number, uint16_t& value) const {
    switch (number) {
    case monitor::kFrequencyCommand:
        value = frequencyCommand_;
        return Outcome::Ok;
    case monitor::kOutputFrequency:
        value = OutputFrequency();
        return Outcome::Ok;
    case monitor::kOutputCurrent:
        value = OutputCurrent();
        return Outcome::Ok;
    case monitor::kCommandWord:
        value = ReportedCommandWord();
        return Outcome::Ok;
    case monitor::kStatus:
        value = StatusNibble();
        return Outcome::Ok;
    case monitor::kFrequencySource:
        value = Stored(param::kFrequencySource) & 0x0F;
        return Outcome::Ok;
    case monitor::kErrorCode:
        value = faultCode_;
        return Outcome::Ok;
    default:
        return Outcome::UnknownNumber;
    }
}

StatusBytes Drive::Status() const {
    StatusBytes bytes;
    bytes.commandWord = static_cast<uint8_t>(ReportedCommandWord() & 0xFF);
    bytes.bitmap =
        static_cast<uint8_t>(StatusNibble() | (Stored(param::kFrequencySource) & 0x0F) << 4);
    bytes.errorCode = static_cast<uint8_t>(faultCode_ & 0xFF);
    return bytes;
}

Outcome Drive::ForceMonitor(int number, uint32_t value) {
    switch (number) {
    case monitor::kFrequencyCommand:
        if (value > Stored(param::kMaxOutputFrequency)) {
            return Outcome::OutOfRange;
        }
        frequencyCommand_ = static_cast<uint16_t>(value);
        return Outcome::Ok;
    case monitor::kCommandWord:
        return Command(value, frequencyCommand_);
    case monitor::kErrorCode:
        if (value > 0xFF) {
            return Outcome::OutOfRange;
        }
        if (value == 0) {
            faultCode_ = 0;
        } else {
            Trip(static_cast<uint16_t>(value));
        }
        return Outcome::Ok;
    case monitor::kOutputFrequency:
    case monitor::kOutputCurrent:
    case monitor::kStatus:
    case monitor::kFrequencySource:
        return Outcome::NotAllowed;
    default:
        return Outcome::UnknownNumber;
    }
}

// A trip cuts the output at once and files the code in the fault records.
void Drive::Trip(uint16_t code) {
    faultCode_ = code;
    runCommanded_ = false;
    output_ = 0.0;
    parameters_[param::kPreviousFault] = parameters_[param::kLastFault];
    parameters_[param::kLastFault] = std::min<uint16_t>(code, Parameter(param::kLastFault).maximum);
}

} // namespace sim
