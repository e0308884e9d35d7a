// What a user needs when the line's COM port does not open: the device tried and the
// system's reason, and a hint when --port mapped another COM name than the configuration's.
#pragma once

#include "run_options.h"

#include <string>
#include <vector>

namespace vfdahost {

// "cannot open COM3 (/tmp/vfda-ports-1/com3: permission denied ...)", found by trying the
// port again; `mapped` are the run's --port mappings.
std::string PortFailureText(int portNumber, const std::vector<PortMapping>& mapped);

} // namespace vfdahost
