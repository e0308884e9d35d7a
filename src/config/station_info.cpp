#include "config/station_info.h"

#include "resources/texts.h"
#include "toolkit/archive.h"

#include <cstdio>

IMPLEMENT_SERIAL(CStationInfo, CObject, 1)

// The file holds the station number before the model index.
void CStationInfo::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive << m_name << m_description << m_stationNumber << m_modelIndex;
    } else {
        archive >> m_name >> m_description >> m_stationNumber >> m_modelIndex;
    }
}

void CStationInfo::ResetRuntime() {
    m_enabled = 1;
    m_readRequests = 0;
    m_readFailures = 0;
    m_writeRequests = 0;
    m_writeFailures = 0;
    m_lastFailureTime = 0;
    m_consecutiveFailures = 0;
}

int32_t CStationInfo::LinkStatus() const {
    if (m_enabled == 0) {
        return -1;
    }
    return m_consecutiveFailures > 0 ? 1 : 0;
}

int32_t CStationInfo::GetStatistics(int32_t& readRequests, int32_t& readFailures,
                                    int32_t& writeRequests, int32_t& writeFailures) const {
    readRequests = m_readRequests;
    readFailures = m_readFailures;
    writeRequests = m_writeRequests;
    writeFailures = m_writeFailures;
    return LinkStatus();
}

void CStationInfo::ResetStatistics() {
    m_readRequests = 0;
    m_readFailures = 0;
    m_writeRequests = 0;
    m_writeFailures = 0;
}

namespace {

std::string TwoDigits(int32_t number) {
    char text[16];
    std::snprintf(text, sizeof(text), "%02d", static_cast<int>(number));
    return text;
}

} // namespace

void CStationInfo::GetInfo(std::string& numberText, std::string& description) const {
    numberText = TwoDigits(m_stationNumber);
    description = m_description;
}

std::string CStationInfo::FormatDisplayText() const {
    return m_name + " (" + TwoDigits(m_stationNumber) + resources::kStationNumberMark +
           ") : " + m_description;
}
