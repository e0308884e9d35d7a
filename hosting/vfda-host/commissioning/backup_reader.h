// Reading a backup file ("vfda-parameters/1") back: any JSON tool may have re-saved it, so
// it is read with a complete, strict JSON reader, and then every field is checked as strictly,
// since a restore writes what the file holds onto a drive.
#pragma once

#include "backup_file.h"

#include <string>

namespace vfdahost {

// The backup a file's text holds; false with `error` saying what is wrong and, for a
// parameter, naming it.
bool ParseBackup(const std::string& text, ParameterBackup& backup, std::string& error);

// Reads and parses a backup file: kExitFailed when it cannot be read, kExitRefused when it is
// damaged (with `error` set), kExitOk when done.
int LoadBackup(const std::string& path, ParameterBackup& backup, std::string& error);

} // namespace vfdahost
