#include "simulated_line.h"

#include "platform/serial_port.h"

#include <algorithm>
#include <stdexcept>

namespace testing_support {

SimulatedLine::SimulatedLine(const std::vector<int>& stations, const LineSettings& settings)
    : settings_(settings), simulator_(stations, settings.baud) {
    platform::SetSerialDeviceFolder(devices_.Path().string());
    Plug();
}

SimulatedLine::~SimulatedLine() {
    StopServing();
    platform::SetSerialDeviceFolder("");
}

void SimulatedLine::Link(int number, const std::filesystem::path& target) {
    const auto name = devices_.Path() / ("com" + std::to_string(number));
    std::filesystem::remove(name);
    std::filesystem::create_symlink(target, name);
}

void SimulatedLine::MapAs(int number) {
    mapped_.push_back(number);
    Link(number, pty_ ? std::filesystem::path(pty_->Path()) : devices_.Path() / "unplugged");
}

void SimulatedLine::MapNowhere(int number) {
    mapped_.erase(std::remove(mapped_.begin(), mapped_.end(), number), mapped_.end());
    Link(number, devices_.Path() / "nothing-here");
}

void SimulatedLine::StopServing() {
    if (server_ == nullptr) {
        return;
    }
    server_->Stop();
    noiseBytesBefore_ += server_->Counters().noiseBytesSent;
    server_.reset();
}

void SimulatedLine::FallSilent() {
    StopServing();
}

void SimulatedLine::Unplug() {
    StopServing();
    pty_.reset();
    // Not the old device's path: the system may give its number to another terminal.
    for (const int number : mapped_) {
        Link(number, devices_.Path() / "unplugged");
    }
}

void SimulatedLine::Plug() {
    if (server_ != nullptr) {
        return;
    }
    if (pty_ == nullptr) {
        std::string error;
        pty_ = platform::TerminalLine::CreatePseudoTerminal(error);
        if (!pty_) {
            throw std::runtime_error("no pseudo-terminal: " + error);
        }
    }
    sim::LineOptions options;
    options.baud = settings_.baud;
    options.wireTiming = settings_.wireTiming;
    options.turnaroundMs = settings_.turnaroundMs;
    options.matchBaud = settings_.matchBaud;
    options.stationBauds = settings_.stationBauds;
    if (settings_.record) {
        options.observer = [this](sim::LineMoment moment, std::span<const uint8_t> bytes,
                                  std::chrono::steady_clock::time_point at) {
            Observe(moment, bytes, at);
        };
    }
    server_ = std::make_unique<sim::LineServer>(simulator_, *pty_, options);
    server_->Start();
    for (const int number : mapped_) {
        Link(number, pty_->Path());
    }
}

void SimulatedLine::Observe(sim::LineMoment moment, std::span<const uint8_t> bytes,
                            std::chrono::steady_clock::time_point at) {
    std::lock_guard guard(requestsLock_);
    if (moment == sim::LineMoment::RequestReceived) {
        requests_.emplace_back(bytes.begin(), bytes.end());
        lastRequestAt_ = at;
    } else if (moment == sim::LineMoment::AnswerFirstByte) {
        answerDelays_.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(at - lastRequestAt_));
    }
}

uint64_t SimulatedLine::FramesFor(int station) const {
    return Counters(station).framesReceived;
}

sim::StationCounters SimulatedLine::Counters(int station) const {
    return simulator_.Counters(station).value_or(sim::StationCounters{});
}

sim::LineCounters SimulatedLine::Counters() const {
    return server_ ? server_->Counters() : sim::LineCounters{};
}

uint64_t SimulatedLine::NoiseBytesSent() const {
    return noiseBytesBefore_ + (server_ ? server_->Counters().noiseBytesSent : 0);
}

std::vector<std::string> SimulatedLine::Requests() const {
    std::lock_guard guard(requestsLock_);
    return requests_;
}

std::vector<std::chrono::milliseconds> SimulatedLine::AnswerDelays() const {
    std::lock_guard guard(requestsLock_);
    return answerDelays_;
}

} // namespace testing_support
