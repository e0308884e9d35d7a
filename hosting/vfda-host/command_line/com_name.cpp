#include "com_name.h"

#include "cli/arguments.h"
#include "config/serial_port.h"

#include <cctype>
#include <string>

namespace vfdahost {

std::optional<int> ParseComName(std::string_view text) {
    if (text.size() < 4) {
        return std::nullopt;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != "COM"[i]) {
            return std::nullopt;
        }
    }
    if (!std::isdigit(static_cast<unsigned char>(text[3]))) {
        return std::nullopt;
    }
    const std::optional<long> number = cli::ParseInteger(std::string(text.substr(3)));
    if (!number || *number < 1 || *number > CSerialPort::kPortCount) {
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

} // namespace vfdahost
