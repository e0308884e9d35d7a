// The numbered event messages: every run-time event reaches the host's event log as one
// prefixed CP949 line, and the message number doubles as the caller's failure value.
#pragma once

#include <cstdint>
#include <string>

namespace driver {

enum Severity : uint32_t {
    kConfigurationError = 0,
    kTransactionFailure = 1,
    kStateChange = 2,
};

// Logs message `number` with up to two %s texts (null where unused). Returns -number when
// the line reached the event log, and number itself when nothing was logged (no event log,
// no memory for the line, or a number outside the table). Never throws.
int32_t LogMessage(int32_t number, uint32_t severity, const char* first = nullptr,
                   const char* second = nullptr) noexcept;

// The prefixed line LogMessage sends; empty for a number outside the table.
std::string FormatLogLine(int32_t number, const char* first, const char* second);

} // namespace driver
