#include "comm/request_batch.h"

void CRequestBatch::Append(const CCommRequest& request) {
    m_requests.push_back(request);
}

void CRequestBatch::Clear() {
    m_requests.clear();
    m_next = 0;
}

CCommRequest* CRequestBatch::TakeNext() {
    if (m_next >= m_requests.size()) {
        return nullptr;
    }
    return &m_requests[m_next++];
}

bool CRequestBatch::NextIsRangeRead() const {
    return m_next < m_requests.size() && m_requests[m_next].IsRangeRead();
}

std::optional<CCommRequest> CRequestBatch::TakeFirstNotRangeRead() {
    for (size_t index = m_next; index < m_requests.size(); ++index) {
        if (!m_requests[index].IsRangeRead()) {
            std::optional<CCommRequest> taken(m_requests[index]);
            Remove(index);
            return taken;
        }
    }
    return std::nullopt;
}

// Requests hold a reference to their block and cannot be assigned, so the rest is copied.
void CRequestBatch::Remove(size_t index) {
    std::vector<CCommRequest> kept;
    kept.reserve(m_requests.capacity());
    for (size_t other = 0; other < m_requests.size(); ++other) {
        if (other != index) {
            kept.push_back(m_requests[other]);
        }
    }
    m_requests.swap(kept);
}
