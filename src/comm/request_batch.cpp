#include "comm/request_batch.h"

void CRequestBatch::Append(const CCommRequest& request) {
    m_requests.push_back(request);
}

void CRequestBatch::Clear() {
    m_requests.clear();
    m_next = 0;
}

bool CRequestBatch::ExecuteNext(comm::CommLink& link) {
    if (m_next >= m_requests.size()) {
        return false;
    }
    CCommRequest& request = m_requests[m_next];
    ++m_next;
    request.Execute(link);
    return true;
}
