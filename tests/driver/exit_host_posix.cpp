#include "exit_host_platform.h"

#include <cstdlib>

#include "simulated_line.h"

#include <optional>

namespace testing_support {
namespace {

// Destroyed at exit with the host's other objects.
std::optional<SimulatedLine> g_line;

} // namespace

int PrepareExitLine() {
    g_line.emplace(std::vector<int>{1, 2});
    g_line->MapAs(1);
    return 0;
}

void QuickExit(int status) {
    std::quick_exit(status);
}

} // namespace testing_support
