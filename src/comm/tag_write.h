// A host's write to one of its tags: queued for the poll thread as a P or C request, or
// handled inside the driver for the C words. Never touches the line and never waits.
#pragma once

#include <cstdint>

class CCommChannel;

namespace comm {

// Threads: any host thread, communication running or not; it only queues (under the
// channel's batch lock) or sets atomic words, and calls the host outside the channel's
// locks.

// 0 when the write was queued, handled or dropped (communication stopped, station disabled,
// an unknown handle); the result of logging message 17 for a tag that cannot be written.
int WriteTag(CCommChannel& channel, uint32_t handle, double value);

} // namespace comm
