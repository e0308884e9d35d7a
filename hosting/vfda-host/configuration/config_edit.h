// One way to change a configuration file, for every command that does: the path checked,
// the file's writer lock taken (waiting for another writer at most as long as asked), the
// document loaded, changed and saved through the lock. A change that is refused, or a file
// that cannot be read, leaves the file as it was.
#pragma once

#include "cli/arguments.h"
#include "config/vfda_drv_doc.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vfdahost {

// A refusal: the exit code and what to tell the user (UTF-8, a whole line).
struct Refusal {
    int exitCode;
    std::string message;
};

// How the edit starts from the file there.
enum class StartFrom {
    File,          // the file must be there and read
    FileIfPresent, // read when there, a new document otherwise
    NewDocument,   // the file's content is replaced
};

// The change made to the loaded document; a refusal leaves the file untouched.
using DocumentChange = std::function<std::optional<Refusal>(CVfdaDrvDoc& document)>;

// --lock-wait SECONDS (0 to a day) in milliseconds, or the writer lock's default; what is
// wrong with it otherwise.
std::optional<std::string> ParseLockWait(const cli::Arguments& arguments, uint32_t& waitMs);

// Makes the change under the file's writer lock and saves it; says on stderr why not. The
// exit code: kExitOk, the refusal's, or kExitFailed (the file could not be checked, locked,
// read or saved).
int EditConfiguration(const std::string& path, uint32_t waitMs, StartFrom start,
                      const DocumentChange& change);

} // namespace vfdahost
