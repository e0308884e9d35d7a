#include "line_port_option.h"

#include "com_name.h"

#include "cli/arguments.h"
#include "comm/line_rates.h"
#include "config/serial_port.h"

namespace vfdahost {

bool ParseLinePort(const std::string& text, int& number, std::optional<PortMapping>& mapping,
                   std::string& error) {
    if (text.find('=') != std::string::npos) {
        PortMapping mapped;
        if (!ParsePortMapping(text, mapped, error)) {
            return false;
        }
        number = mapped.number;
        mapping = mapped;
        return true;
    }
    const std::optional<int> named = ParseComName(text);
    if (!named) {
        error = "--port takes COMn or COMn=PATH with n from 1 to " +
                std::to_string(CSerialPort::kPortCount);
        return false;
    }
    number = *named;
    return true;
}

std::optional<uint32_t> ParseLineRate(const std::string& text) {
    const std::optional<long> rate = cli::ParseInteger(text);
    if (!rate || *rate <= 0 || !comm::BaudIndexOf(static_cast<uint32_t>(*rate))) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*rate);
}

} // namespace vfdahost
