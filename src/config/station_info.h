// One drive on the line: its configuration (persisted) and its run-time state (never
// persisted). The run-time words are written by the poll thread and by host calls at the
// same time, so each is atomic.
#pragma once

#include "toolkit/object.h"

#include <atomic>
#include <cstdint>
#include <string>

// Threads: the configuration members (name, number, description) belong to the host's
// thread and change only while the instance's communication is stopped; the poll thread
// reads the number. The run-time words are atomic: the counters and the supervision state
// are written by the poll thread (ReportResult: poll thread only); the enable flag by the
// host's thread; any thread reads them.
class CStationInfo : public CObject {
    DECLARE_SERIAL(CStationInfo)
public:
    static constexpr int32_t kHighestNumber = 31;
    // Failures in a row after which the link counts as lost.
    static constexpr int32_t kLinkLostThreshold = 5;

    CStationInfo() = default;
    ~CStationInfo() override = default;
    void Serialize(CArchive& archive) override;

    // Enables the station and clears its statistics and supervision state.
    void ResetRuntime();

    // The outcome of one transaction: 0, or the message number of its failure. Logs each of
    // the first five failures in a row, then the loss of the link once (14), and the first
    // success after a loss (15); `second` is the failure message's second text, or null.
    // Defined with station supervision (comm/station_supervision.cpp).
    void ReportResult(int32_t code, const char* second);
    // Logs message `code` for a transaction that never reached the line as ReportResult logs
    // a failure (not once the link is reported lost), and counts nothing.
    void ReportUnsent(int32_t code) const;
    // The link has been reported lost (message 14) and not yet restored.
    bool IsReportedLost() const { return m_consecutiveFailures >= kLinkLostThreshold; }

    // Link status: -1 disabled, 1 the last transaction failed, 0 otherwise.
    int32_t LinkStatus() const;
    // Copies the four counters and returns the link status.
    int32_t GetStatistics(int32_t& readRequests, int32_t& readFailures, int32_t& writeRequests,
                          int32_t& writeFailures) const;
    void ResetStatistics();
    // The station number as two digits at least ("07"), and the description.
    void GetInfo(std::string& numberText, std::string& description) const;
    // "NAME (NN국) : DESCRIPTION", the station's line in the editor's tree.
    std::string FormatDisplayText() const;

    // Configuration.
    std::string m_name;
    std::string m_description;
    int32_t m_modelIndex = 0;
    int32_t m_stationNumber = 0;
    void* m_treeItem = nullptr; // the editor's tree item

    // Run-time state.
    std::atomic<int32_t> m_enabled{0};
    std::atomic<int32_t> m_readRequests{0};
    std::atomic<int32_t> m_readFailures{0};
    std::atomic<int32_t> m_writeRequests{0};
    std::atomic<int32_t> m_writeFailures{0};
    std::atomic<int32_t> m_lastFailureTime{0};
    std::atomic<int32_t> m_consecutiveFailures{0};
};
