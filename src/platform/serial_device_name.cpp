#include "platform/serial_port.h"

#include <cctype>

namespace platform {

int ComPortNumber(const std::string& deviceName) {
    std::string name = deviceName;
    const std::string local = "\\\\.\\";
    if (name.rfind(local, 0) == 0) {
        name = name.substr(local.size());
    }
    if (name.size() < 4 || name.size() > 6) {
        return 0;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) {
            return 0;
        }
    }
    int number = 0;
    for (size_t i = 3; i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) {
            return 0;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

} // namespace platform
