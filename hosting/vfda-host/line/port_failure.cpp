#include "port_failure.h"

#include "platform/serial_port.h"

namespace vfdahost {

std::string PortFailureText(int portNumber, const std::vector<PortMapping>& mapped) {
    const std::string name = "COM" + std::to_string(portNumber);
    std::string text = "cannot open " + name;
    platform::SerialPort port;
    if (!port.Open("\\\\.\\" + name)) {
        text += " (" + port.OpenFailure() + ")";
    }
    std::string others;
    for (const PortMapping& mapping : mapped) {
        if (mapping.number == portNumber) {
            return text;
        }
        others += (others.empty() ? "COM" : ", COM") + std::to_string(mapping.number);
    }
    if (!others.empty()) {
        text += "; the configuration uses " + name + ", and --port maps " + others;
    }
    return text;
}

} // namespace vfdahost
