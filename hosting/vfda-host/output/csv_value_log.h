// The CSV kind of a run's events: every value change appended to a file as a row, to lay
// beside a plant's logs: time (ISO 8601, UTC, milliseconds), station, tag, address, value.
// The header row is written when the file is new; each row goes to the file's end in one
// write as its value comes (nothing waits in a buffer), so other writers and a reader in a
// spreadsheet or Python's csv module see whole rows only.
#pragma once

#include "platform/file.h"
#include "run_event_kinds.h"

#include <atomic>
#include <mutex>
#include <string>

namespace vfdahost {

class CsvValueLog final : public IgnoringRunEvents {
public:
    static constexpr const char* kHeader = "time,station,tag,address,value\r\n";

    // Opens `path` to append to it (created when missing); false with `error` saying why: a
    // link another user planted in a shared folder, not a regular file, not writable.
    bool Open(const std::string& path, std::string& error);
    // The delivery thread's value changes, one row each.
    void Value(const TagDefinition* tag, uint32_t id, double value) override;
    // One row, stamped now: what the monitor hears has no tag file behind it.
    void Row(const std::string& station, const std::string& tag, const std::string& address,
             double value);
    // True once a row could not be written; the log then stops (said once on stderr).
    bool Failed() const { return failed_.load(); }

private:
    std::mutex lock_;
    platform::File file_; // guarded by lock_
    std::string path_;
    std::atomic<bool> failed_{false};
};

// A CSV field: as it is, or quoted (quotes doubled) when it holds a comma, a quote or a
// line break.
std::string CsvField(const std::string& text);

} // namespace vfdahost
