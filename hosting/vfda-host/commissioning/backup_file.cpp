#include "backup_file.h"

#include "json_fields.h"
#include "platform/file.h"
#include "platform/system_error.h"

#include "comm/scaled_parameters.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

namespace vfdahost {

long RawOfParameter(int number, double value) {
    const bool scaled = comm::ScaledParameters[static_cast<size_t>(number)];
    return std::lround(scaled ? value * 10 : value);
}

std::string BackupJson(const ParameterBackup& backup) {
    JsonFields head;
    head.Text("format", kBackupFormat)
        .Text("station", backup.station)
        .Integer("number", backup.number)
        .Integer("model", backup.model)
        .Integer("baud", backup.baud)
        .Text("read_at", backup.readAt);
    std::string text = "{" + head.Body() + ",\"parameters\":[\n";
    for (int p = 0; p < kBackupParameters; ++p) {
        const std::optional<double>& value = backup.values[static_cast<size_t>(p)];
        JsonFields entry;
        entry.Integer("parameter", p);
        if (value) {
            entry.Integer("raw", RawOfParameter(p, *value)).Number("value", *value);
        } else {
            entry.Null("raw").Null("value");
        }
        text += "{" + entry.Body() + (p + 1 < kBackupParameters ? "},\n" : "}\n");
    }
    return text + "]}\n";
}

bool SaveAtomically(const std::string& path, const std::string& text, std::string& error) {
    // A link is saved through, as a configuration is, unless another user planted it in a
    // shared folder; the new file never takes over the owner or set-id bits of the old one.
    std::string target;
    if (!platform::FinalTarget(path, target)) {
        error = "cannot write " + path +
                ": a link that is not followed (a loop, or planted by "
                "another user in a shared folder)";
        return false;
    }
    const platform::FileStatus previous = platform::StatusOf(target);
    if (previous.exists && (!previous.regular || previous.readOnly)) {
        error = "cannot write " + path +
                (previous.regular ? ": the file is read-only" : ": not a regular file");
        return false;
    }
    std::random_device seed;
    platform::File file;
    std::string temporary;
    for (int attempt = 0; attempt < 8 && !file.IsOpen(); ++attempt) {
        temporary = target + ".tmp-" + std::to_string(seed());
        file.Open(temporary, platform::File::Mode::CreateNew);
    }
    const bool created = file.IsOpen();
    std::string reason = created ? "" : platform::LastSystemError();
    const bool written = created && file.WriteAll(text.data(), text.size()) &&
                         file.KeepAttributesOf(previous, platform::File::Ownership::Mine) &&
                         file.FlushToDisk();
    const bool closed = created && file.Close();
    const bool replaced = written && closed && platform::ReplaceFile(temporary, target);
    if (!replaced) {
        reason = created ? platform::LastSystemError() : reason; // before the clean-up's calls
        if (created) { // only the file this save made, never one it found under that name
            file.Close();
            platform::RemoveFile(temporary);
        }
        error = "cannot write " + path + ": " + reason;
        return false;
    }
    return true;
}

std::string UtcNowText() {
    using namespace std::chrono;
    const auto now = floor<seconds>(system_clock::now());
    const auto day = floor<days>(now);
    const year_month_day date(day);
    const hh_mm_ss<seconds> time(now - day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<int>(time.hours().count()),
                  static_cast<int>(time.minutes().count()),
                  static_cast<int>(time.seconds().count()));
    return text;
}

} // namespace vfdahost
