// The module's fixed texts, as CP949 bytes: the event-log messages and the string table.
#pragma once

#include <cstdint>

namespace resources {

constexpr int kMessageCount = 18;

// "[DELTA VFD-A] ", put in front of every event-log line.
extern const char kMessagePrefix[];
// "DELTA VFD-A", the driver's name for the host.
extern const char kDriverName[];
// "국", the mark after a station number in the editor's tree ("PUMP1 (03국) : line A").
extern const char kStationNumberMark[];

// The printf-style format of an event-log message, or null outside 0..17.
const char* MessageFormat(int number);

// String-table entries 2700-2710.
enum StringId : uint32_t {
    kStationNameMissing = 2700,
    kStationNameTaken = 2701,
    kStationNumberTaken = 2702,
    kStationNumberInvalid = 2707,
    kDeleteStationQuestion = 2708,
    kSaveChangesQuestion = 2709,
};

// The text of a string-table entry, or null when the table has none of that id. The table
// is generated from src/resources/editor/definitions.py.
const char* StringTableText(uint32_t id);

} // namespace resources
