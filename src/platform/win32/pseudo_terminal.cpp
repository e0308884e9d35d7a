// Windows has no pseudo-terminals, and its serial ports are reached through SerialPort:
// a line of this kind cannot be made here, and says so.
#include "platform/pseudo_terminal.h"

namespace platform {

struct TerminalLine::State {
    std::string path;
};

TerminalLine::TerminalLine(std::unique_ptr<State> state) : state_(std::move(state)) {}
TerminalLine::~TerminalLine() = default;

std::unique_ptr<TerminalLine> TerminalLine::CreatePseudoTerminal(std::string& error) {
    error = "pseudo-terminals are not available on Windows";
    return nullptr;
}

std::unique_ptr<TerminalLine> TerminalLine::OpenDevice(const std::string& path, uint32_t /*baud*/,
                                                       std::string& error) {
    error = "terminal devices are not available on Windows: " + path;
    return nullptr;
}

const std::string& TerminalLine::Path() const {
    return state_->path;
}

long TerminalLine::Read(uint8_t* /*buffer*/, size_t /*capacity*/, uint32_t /*timeoutMs*/) {
    return -1;
}

size_t TerminalLine::Write(const uint8_t* /*data*/, size_t /*count*/, uint32_t /*timeoutMs*/) {
    return 0;
}

void TerminalLine::Purge() {}

uint32_t TerminalLine::LineBaud() const {
    return 0;
}

bool IsLineBaud(uint32_t baud) {
    return baud == 1200 || baud == 2400 || baud == 4800;
}

} // namespace platform
