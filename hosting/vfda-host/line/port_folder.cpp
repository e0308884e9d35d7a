#include "port_folder.h"

#include "platform/serial_port.h"

#include <filesystem>
#include <system_error>

namespace vfdahost {

namespace fs = std::filesystem;

PortFolder::~PortFolder() {
    if (!folder_.Path().empty()) {
        platform::SetSerialDeviceFolder("");
    }
}

bool PortFolder::Create(const std::vector<PortMapping>& ports, std::string& error) {
    if (ports.empty()) {
        return true;
    }
    if (!folder_.Create("vfda-ports-", error)) {
        return false;
    }
    platform::SetSerialDeviceFolder(folder_.Path().string());
    if (platform::SerialDeviceFolder() != folder_.Path().string()) {
        error = "--port needs serial ports that are device files; this system opens COM ports "
                "by name";
        folder_.Remove();
        return false;
    }
    for (const PortMapping& port : ports) {
        std::error_code failure;
        // A relative target would be read relative to the folder, so it is made absolute.
        const fs::path target = fs::absolute(port.path, failure);
        const fs::path link = folder_.Path() / ("com" + std::to_string(port.number));
        if (!failure) {
            fs::remove(link, failure); // a later --port for the same COM wins
        }
        if (!failure) {
            fs::create_symlink(target, link, failure);
        }
        if (failure) {
            error = "cannot map COM" + std::to_string(port.number) + " to " + port.path + ": " +
                    failure.message();
            platform::SetSerialDeviceFolder("");
            folder_.Remove();
            return false;
        }
    }
    return true;
}

} // namespace vfdahost
