// A drive's parameters saved to a file ("vfda-parameters/1"): one JSON object with the
// station, its number, model and baud rate, when it was read, and P0..P80 in number order.
// Files are read strictly, since a restore writes what they hold onto a drive.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vfdahost {

constexpr int kBackupParameters = 81; // P0..P80

struct ParameterBackup {
    std::string station; // UTF-8
    int number = 0;
    int model = 0;
    int baud = 0;
    std::string readAt; // 2026-12-08T15:00:00Z
    // Each parameter's value as the module delivers it; nothing for one the drive did not
    // return.
    std::array<std::optional<double>, kBackupParameters> values;
};

// The raw word the drive holds for a parameter's value (x 10 for the scaled ones).
long RawOfParameter(int number, double value);

std::string BackupJson(const ParameterBackup& backup);
// The backup a file's text holds; false with `error` saying what is wrong.
bool ParseBackup(const std::string& text, ParameterBackup& backup, std::string& error);

// Reads and parses a backup file. 1 when it cannot be read, 2 when it is damaged (with
// `error` set), 0 done.
int LoadBackup(const std::string& path, ParameterBackup& backup, std::string& error);
// Writes `text` to `path` through a new temporary file beside it and one rename, so a reader
// sees the old file or the whole new one.
bool SaveAtomically(const std::string& path, const std::string& text, std::string& error);

// The current time, as backups record it.
std::string UtcNowText();

} // namespace vfdahost
