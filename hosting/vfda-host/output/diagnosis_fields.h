// What the line trace says about a station, as JSON fields and as text: response times and
// the failures by cause. The run's statistics and the monitor's show it alike.
#pragma once

#include "json_fields.h"
#include "station_diagnosis.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vfdahost {

// Bytes as hex pairs separated by spaces: "52 03 01".
std::string HexBytes(const uint8_t* bytes, size_t count);

// The name of a failure's cause in text ("time-out") and as its JSON count field
// ("timeouts"); empty for Answered.
const char* CauseText(AnswerCause cause);
const char* CauseField(AnswerCause cause);

// Adds the figures to `fields` and a "; response ms ..." and "; failures: ..." tail to `text`.
void AddDiagnosis(const StationDiagnosis& diagnosis, JsonFields& fields, std::string& text);

} // namespace vfdahost
