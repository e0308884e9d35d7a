// vfda-host demo on a build without the drive simulator (it needs POSIX pseudo-terminals).
#include "commands.h"
#include "console_output.h"

#include <cstdio>

namespace vfdahost {

int DemoCommand(const std::vector<std::string>&) {
    OutputText(stderr,
               "vfda-host: demo is not in this build: it needs the drive simulator, which runs "
               "on POSIX systems only\n");
    return kExitFailed;
}

} // namespace vfdahost
