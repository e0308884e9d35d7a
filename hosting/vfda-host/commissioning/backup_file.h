// A drive's parameters saved to a file ("vfda-parameters/1"): one JSON object with the
// station, its number, model and baud rate, when it was read, and P0..P80 in number order.
// backup_reader.h reads them back.
#pragma once

#include "comm/scaled_parameters.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vfdahost {

constexpr int kBackupParameters = comm::kParameterCount; // P0..P80
constexpr const char* kBackupFormat = "vfda-parameters/1";

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
// Writes `text` to `path` through a new temporary file beside it and one rename, so a reader
// sees the old file or the whole new one.
bool SaveAtomically(const std::string& path, const std::string& text, std::string& error);

// The current time, as backups record it.
std::string UtcNowText();

} // namespace vfdahost
