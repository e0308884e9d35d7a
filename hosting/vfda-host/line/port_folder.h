// The COM ports of one run: a private temporary folder of symlinks comN -> device, which the
// module's serial back end looks in before /dev/ttyS{N-1}. Removed when the run ends.
#pragma once

#include "private_folder.h"
#include "run_options.h"

#include <string>
#include <vector>

namespace vfdahost {

class PortFolder {
public:
    PortFolder() = default;
    // Points the serial back end away from the folder before it is removed.
    ~PortFolder();
    PortFolder(const PortFolder&) = delete;
    PortFolder& operator=(const PortFolder&) = delete;

    // Makes the folder and its links, and points the serial back end at it. With no
    // mappings nothing is made and the system's ports are used. Windows opens COM ports by
    // name only, so mappings are refused there.
    bool Create(const std::vector<PortMapping>& ports, std::string& error);

private:
    PrivateFolder folder_;
};

} // namespace vfdahost
