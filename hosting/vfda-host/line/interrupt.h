// The ends a run does not choose: Ctrl-C, a signal from the system, or an output that can no
// longer be written. A signal only raises a flag, which the run's loop looks at between its
// bounded waits, so the run still stops the module, waits for its queued writes and prints
// its statistics (where the output still works).
#pragma once

namespace vfdahost {

// Catches SIGINT and SIGTERM from now on, and where the system has them SIGHUP (the terminal
// went away) and SIGPIPE (the reader of the output went away).
void CatchInterrupt();
// True once any of those ends has come.
bool Interrupted();
// True once a second signal has come: what a run still waits for is given up.
bool InterruptedAgain();
// Standard output could not be written (a full disk, a closed pipe): the run ends, and the
// program exits 1.
void NoteOutputFailed();
bool OutputFailed();
// Why the run was ended: "interrupt" (SIGINT, SIGTERM), "hangup" (SIGHUP), "broken pipe"
// (SIGPIPE) or "output failed".
const char* InterruptReason();
// The exit code that tells a caller how the command ended: 128 + the signal's number for a
// signal (130 for Ctrl-C, 143 for SIGTERM, 129 for a hang-up), 1 when the output failed.
int InterruptExitCode();

} // namespace vfdahost
