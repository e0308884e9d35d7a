#include "fault_line.h"

#include "platform/serial_port.h"

#include <filesystem>
#include <stdexcept>

namespace fault_testing {

FaultLine::FaultLine(const std::vector<int>& stations, int comNumber)
    : comNumber_(comNumber), simulator_(stations, 4800) {
    platform::SetSerialDeviceFolder(devices_.Path().string());
    Plug();
}

FaultLine::~FaultLine() {
    Unplug();
    platform::SetSerialDeviceFolder("");
}

void FaultLine::Link(const std::filesystem::path& target) {
    const auto name = devices_.Path() / ("com" + std::to_string(comNumber_));
    std::filesystem::remove(name);
    std::filesystem::create_symlink(target, name);
}

void FaultLine::Unplug() {
    if (server_ == nullptr) {
        return;
    }
    server_->Stop();
    noiseBytesBefore_ += server_->Counters().noiseBytesSent;
    server_.reset();
    pty_.reset();
    // Not the old device's path: the system may give its number to another terminal.
    Link(devices_.Path() / "unplugged");
}

void FaultLine::Plug() {
    if (server_ != nullptr) {
        return;
    }
    std::string error;
    pty_ = platform::TerminalLine::CreatePseudoTerminal(error);
    if (!pty_) {
        throw std::runtime_error("no pseudo-terminal: " + error);
    }
    sim::LineOptions options;
    options.wireTiming = false;
    options.turnaroundMs = 0;
    server_ = std::make_unique<sim::LineServer>(simulator_, *pty_, options);
    server_->Start();
    Link(pty_->Path());
}

sim::StationCounters FaultLine::Counters(int station) const {
    return simulator_.Counters(station).value_or(sim::StationCounters{});
}

uint64_t FaultLine::NoiseBytesSent() const {
    return noiseBytesBefore_ + (server_ ? server_->Counters().noiseBytesSent : 0);
}

} // namespace fault_testing
