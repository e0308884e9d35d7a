// A run of requests that the poll thread executes one per step, in the order they were
// queued. A batch grows only while it is the channel's pending batch. Requests are held by
// value and an emptied batch keeps its room, so a batch that is reused allocates nothing.
//
// Threads: no lock of its own. While it is the channel's pending batch it is touched only
// under the channel's batch lock (any thread); once it is the current batch, only the poll
// thread touches it.
#pragma once

#include "comm/comm_request.h"

#include <cstddef>
#include <optional>
#include <vector>

class CRequestBatch {
public:
    CRequestBatch() = default;
    CRequestBatch(const CRequestBatch&) = delete;
    CRequestBatch& operator=(const CRequestBatch&) = delete;

    void Append(const CCommRequest& request);
    // Drops every request, executed or not; the batch can then be filled again.
    void Clear();

    // The next request to execute, counted as taken; null when none is left.
    CCommRequest* TakeNext();
    // True when the next request to execute is part of a range read.
    bool NextIsRangeRead() const;
    // Removes and returns the first request not yet executed that is not part of a range
    // read, or none.
    std::optional<CCommRequest> TakeFirstNotRangeRead();

    size_t Count() const { return m_requests.size(); }
    size_t Next() const { return m_next; }
    const CCommRequest& Request(size_t index) const { return m_requests[index]; }

private:
    void Remove(size_t index);

    size_t m_next = 0;
    std::vector<CCommRequest> m_requests;
};
