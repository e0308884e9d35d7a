#include "simulated_line.h"

#include "platform/serial_port.h"

#include <filesystem>
#include <stdexcept>

namespace testing_support {

SimulatedLine::SimulatedLine(const std::vector<int>& stations, const LineSettings& settings)
    : simulator_(stations, settings.baud) {
    std::string error;
    pty_ = platform::TerminalLine::CreatePseudoTerminal(error);
    if (!pty_) {
        throw std::runtime_error("no pseudo-terminal: " + error);
    }
    sim::LineOptions options;
    options.baud = settings.baud;
    options.wireTiming = settings.wireTiming;
    options.turnaroundMs = settings.wireTiming ? settings.turnaroundMs : 0;
    options.observer = [this](sim::LineMoment moment, std::span<const uint8_t> bytes,
                              std::chrono::steady_clock::time_point at) {
        std::lock_guard guard(requestsLock_);
        if (moment == sim::LineMoment::RequestReceived) {
            requests_.emplace_back(bytes.begin(), bytes.end());
            lastRequestAt_ = at;
        } else if (moment == sim::LineMoment::AnswerFirstByte) {
            answerDelays_.push_back(
                std::chrono::duration_cast<std::chrono::milliseconds>(at - lastRequestAt_));
        }
    };
    server_ = std::make_unique<sim::LineServer>(simulator_, *pty_, options);
    server_->Start();
    platform::SetSerialDeviceFolder(devices_.Path().string());
}

SimulatedLine::~SimulatedLine() {
    server_->Stop();
    platform::SetSerialDeviceFolder("");
}

void SimulatedLine::MapAs(int number) {
    std::filesystem::create_symlink(pty_->Path(),
                                    devices_.Path() / ("com" + std::to_string(number)));
}

void SimulatedLine::MapNowhere(int number) {
    std::filesystem::remove(devices_.Path() / ("com" + std::to_string(number)));
    std::filesystem::create_symlink(devices_.Path() / "nothing-here",
                                    devices_.Path() / ("com" + std::to_string(number)));
}

uint64_t SimulatedLine::FramesFor(int station) const {
    const auto counters = simulator_.Counters(station);
    return counters ? counters->framesReceived : 0;
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
