// The line of drives the exit host polls: simulated in the process on POSIX, the native
// simulator behind Wine's COM7 (set up by drive_line_peer.py) on Windows.
#pragma once

namespace testing_support {

// Makes the line reachable and returns the port index (COM number - 1) it answers on.
int PrepareExitLine();

} // namespace testing_support
