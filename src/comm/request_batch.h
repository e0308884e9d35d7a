// A run of requests that the poll thread executes one per step, in the order they were
// queued. A batch grows only while it is the channel's pending batch.
#pragma once

#include "comm/comm_request.h"

#include <cstddef>
#include <memory>
#include <vector>

class CCommChannel;

namespace comm {
class CommLink;
}

class CRequestBatch {
public:
    explicit CRequestBatch(CCommChannel& channel) : m_channel(channel) {}
    CRequestBatch(const CRequestBatch&) = delete;
    CRequestBatch& operator=(const CRequestBatch&) = delete;

    void Append(std::unique_ptr<CCommRequest> request);

    // Executes the next request whatever its outcome; false when none is left.
    bool ExecuteNext(comm::CommLink& link);

    CCommChannel& Channel() const { return m_channel; }
    size_t Count() const { return m_requests.size(); }
    size_t Next() const { return m_next; }
    const CCommRequest& Request(size_t index) const { return *m_requests[index]; }

private:
    CCommChannel& m_channel;
    size_t m_next = 0;
    std::vector<std::unique_ptr<CCommRequest>> m_requests;
};
