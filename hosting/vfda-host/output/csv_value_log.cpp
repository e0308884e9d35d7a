#include "csv_value_log.h"

#include "console_output.h"
#include "platform/system_error.h"
#include "tag_file.h"
#include "text_output.h"
#include "wall_clock.h"

#include <chrono>
#include <cstdio>

namespace vfdahost {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

bool CsvValueLog::Open(const std::string& path, std::string& error) {
    std::string target;
    if (!platform::FinalTarget(path, target)) {
        error = "cannot write " + TextForPeople(path) +
                ": a link that is not followed (a loop, or planted by another user in a "
                "shared folder)";
        return false;
    }
    if (!file_.Open(target, platform::File::Mode::Append)) {
        const std::string reason = platform::LastSystemError();
        const platform::FileStatus status = platform::StatusOf(target);
        error = "cannot write " + TextForPeople(path) + ": " +
                (status.exists && !status.regular ? "not a regular file" : reason);
        return false;
    }
    path_ = path;
    const std::string header = kHeader;
    if (file_.Length() == 0 && !file_.WriteAll(header.data(), header.size())) {
        error = "cannot write " + TextForPeople(path) + ": " + platform::LastSystemError();
        return false;
    }
    return true;
}

void CsvValueLog::Value(const TagDefinition* tag, uint32_t id, double value) {
    Row(tag != nullptr ? StationOfDevice(tag->device) : "",
        tag != nullptr ? tag->name : std::to_string(id), tag != nullptr ? tag->address : "", value);
}

void CsvValueLog::Row(const std::string& station, const std::string& tag,
                      const std::string& address, double value) {
    if (failed_) {
        return;
    }
    const std::string row = IsoUtcTime(std::chrono::system_clock::now()) + "," + CsvField(station) +
                            "," + CsvField(tag) + "," + CsvField(address) + "," +
                            NumberText(value) + "\r\n";
    std::lock_guard guard(lock_);
    if (!file_.WriteAll(row.data(), row.size())) {
        failed_ = true;
        OutputFormatted(stderr, "vfda-host: cannot write %s: %s; the CSV log stops here\n",
                        TextForPeople(path_).c_str(), platform::LastSystemError().c_str());
    }
}

} // namespace vfdahost
