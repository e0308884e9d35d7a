// What the exit host does differently by platform. The line of drives it polls: simulated
// in the process on POSIX, the native simulator behind Wine's COM7 (set up by
// drive_line_peer.py) on Windows.
#pragma once

namespace testing_support {

// Makes the line reachable and returns the port index (COM number - 1) it answers on.
int PrepareExitLine();

// Ends the process at once, without destroying statics: quick_exit where the run time has
// it (POSIX), _Exit where it does not (MinGW).
[[noreturn]] void QuickExit(int status);

} // namespace testing_support
