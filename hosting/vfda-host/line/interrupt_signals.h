// The signals a run ends on beyond SIGINT and SIGTERM, which only some systems have.
#pragma once

namespace vfdahost {

// Sends SIGHUP and SIGPIPE to `handler` where the system has them; does nothing elsewhere.
void CatchSystemSignals(void (*handler)(int));
// The reason a run ends on the signal: "hangup", "broken pipe" or "interrupt".
const char* SignalReason(int number);

} // namespace vfdahost
