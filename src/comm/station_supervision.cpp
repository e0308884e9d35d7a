// CStationInfo::ReportResult: station supervision, which the communication code runs after
// each transaction. It lives here rather than with the station's configuration so that the
// configuration knows nothing of the message log.
#include "config/station_info.h"
#include "host_link/message_log.h"

namespace {

constexpr int32_t kLinkLost = 14;
constexpr int32_t kLinkRestored = 15;

} // namespace

void CStationInfo::ReportResult(int32_t code, const char* second) {
    const char* name = m_name.c_str();
    if (code != 0) {
        if (IsReportedLost()) {
            return; // already reported lost: nothing more until it recovers
        }
        driver::LogMessage(code, driver::kTransactionFailure, name, second);
        if (++m_consecutiveFailures == kLinkLostThreshold) {
            driver::LogMessage(kLinkLost, driver::kStateChange, name);
        }
        return;
    }
    if (IsReportedLost()) {
        driver::LogMessage(kLinkRestored, driver::kStateChange, name);
    }
    m_consecutiveFailures = 0;
}

void CStationInfo::ReportUnsent(int32_t code) const {
    if (!IsReportedLost()) {
        driver::LogMessage(code, driver::kTransactionFailure, m_name.c_str());
    }
}
