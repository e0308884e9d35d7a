#include "comm/request_batch.h"

void CRequestBatch::Append(std::unique_ptr<CCommRequest> request) {
    m_requests.push_back(std::move(request));
}

bool CRequestBatch::ExecuteNext(comm::CommLink& link) {
    if (m_next >= m_requests.size()) {
        return false;
    }
    CCommRequest& request = *m_requests[m_next];
    ++m_next;
    request.Execute(link);
    return true;
}
