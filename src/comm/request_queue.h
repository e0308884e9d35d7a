// Where a communication block queues the requests it makes (status queries, range reads):
// the channel that owns the block. A block knows only this seam, not the channel.
//
// Threads: QueueRequest may be called from any thread; an implementation guards its queue.
#pragma once

#include <cstdint>

class CCommBlock;

namespace comm {

class RequestQueue {
public:
    virtual void QueueRequest(CCommBlock& block, char command, int32_t parameter,
                              uint16_t value) = 0;

protected:
    ~RequestQueue() = default;
};

} // namespace comm
