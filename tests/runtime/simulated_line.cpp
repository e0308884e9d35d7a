#include "simulated_line.h"

#include "platform/serial_port.h"

#include <filesystem>
#include <stdexcept>

namespace testing_support {

SimulatedLine::SimulatedLine(const std::vector<int>& stations, bool wireTiming)
    : simulator_(stations, 4800) {
    std::string error;
    pty_ = platform::TerminalLine::CreatePseudoTerminal(error);
    if (!pty_) {
        throw std::runtime_error("no pseudo-terminal: " + error);
    }
    sim::LineOptions options;
    options.wireTiming = wireTiming;
    options.turnaroundMs = wireTiming ? 10 : 0;
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

} // namespace testing_support
