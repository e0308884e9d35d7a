#include "config_edit.h"

#include "config_path.h"
#include "console_output.h"
#include "host_libraries.h"
#include "host_tool.h"
#include "message_meaning.h"
#include "platform/file.h"
#include "platform/system_error.h"
#include "text_output.h"
#include "toolkit/writer_lock.h"

#include <cstdio>

namespace vfdahost {
namespace {

// The longest wait a user may ask for: a day.
constexpr long kMaxLockWaitSeconds = 86400;

// Takes the file's writer lock, or says on stderr why not.
bool Lock(const std::string& path, uint32_t waitMs, CWriterLock& lock) {
    const CWriterLock::Outcome outcome = lock.Acquire(path, waitMs);
    const std::string reason = platform::LastSystemError();
    switch (outcome) {
    case CWriterLock::Outcome::Held:
        return true;
    case CWriterLock::Outcome::Unlocked:
        OutputFormatted(stderr, "vfda-host: %s keeps no locks; saving %s without one\n",
                        TextForPeople(lock.LockPath()).c_str(), TextForPeople(path).c_str());
        return true;
    case CWriterLock::Outcome::TimedOut:
        OutputFormatted(stderr,
                        "vfda-host: another writer has held %s for more than %u s; "
                        "%s is unchanged\n",
                        TextForPeople(lock.LockPath()).c_str(), waitMs / 1000u,
                        TextForPeople(path).c_str());
        return false;
    case CWriterLock::Outcome::Failed:
        break;
    }
    if (const std::optional<std::string> why = WhyNotCreatable(path)) {
        OutputFormatted(stderr, "vfda-host: %s\n", why->c_str());
        return false;
    }
    OutputFormatted(stderr, "vfda-host: cannot lock %s (lock file %s%s%s)\n",
                    TextForPeople(path).c_str(),
                    lock.LockPath().empty() ? "unknown" : TextForPeople(lock.LockPath()).c_str(),
                    reason.empty() ? "" : ": ", reason.c_str());
    return false;
}

// Why the document could not be loaded, with the file system's reason where it gives one.
std::string CannotRead(const std::string& path) {
    const std::string text = "cannot read configuration " + TextForPeople(path);
    if (!platform::StatusOf(path).exists) {
        return text + ": no such file";
    }
    const std::optional<std::string> why = WhyNotReadable(path);
    return why ? *why : text;
}

} // namespace

std::optional<std::string> ParseLockWait(const cli::Arguments& arguments, uint32_t& waitMs) {
    waitMs = CWriterLock::kDefaultWaitMs;
    const std::optional<std::string> text = arguments.Value("--lock-wait");
    if (!text) {
        return std::nullopt;
    }
    const std::optional<long> seconds = cli::ParseInteger(*text);
    if (!seconds || *seconds < 0 || *seconds > kMaxLockWaitSeconds) {
        return "--lock-wait must be a whole number from 0 to " +
               std::to_string(kMaxLockWaitSeconds);
    }
    waitMs = static_cast<uint32_t>(*seconds) * 1000u;
    return std::nullopt;
}

int EditConfiguration(const std::string& path, uint32_t waitMs, StartFrom start,
                      const DocumentChange& change) {
    if (const auto why = WhyNotWritable(path)) {
        OutputFormatted(stderr, "vfda-host: %s\n", why->c_str());
        return kExitFailed;
    }
    // A missing file is said at once, without leaving a lock file beside nothing.
    if (start == StartFrom::File && !platform::StatusOf(path).exists) {
        OutputFormatted(stderr, "vfda-host: %s\n", CannotRead(path).c_str());
        return kExitFailed;
    }
    hostkit::HostLibraries host; // shows the host's message boxes (2005) on stderr
    host.onMessageBox = [](const hostkit::MessageBox& box) {
        OutputFormatted(stderr, "%s\n",
                        TextForPeople(ShownMessageBox(box.code, box.text, box.message)).c_str());
    };
    CWriterLock lock;
    if (!Lock(path, waitMs, lock)) {
        return kExitFailed;
    }
    CVfdaDrvDoc document;
    document.SetPath(path);
    const bool load = start == StartFrom::File ||
                      (start == StartFrom::FileIfPresent && platform::StatusOf(path).exists);
    if (load && !document.LoadFile(path)) {
        OutputFormatted(stderr, "vfda-host: %s\n", CannotRead(path).c_str());
        return kExitFailed;
    }
    if (const std::optional<Refusal> refused = change(document)) {
        OutputFormatted(stderr, "%s\n", refused->message.c_str());
        return refused->exitCode;
    }
    return document.SaveFile(lock) ? kExitOk : kExitFailed;
}

} // namespace vfdahost
