// The host's side of its libraries: loads the stand-ins the module will use and receives
// everything the module calls through them (event-log lines, tag values, message boxes).
#pragma once

#include "platform/dynamic_library.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace hostkit {

struct EventLogLine {
    int32_t kind;
    uint32_t flags;
    std::string text; // CP949
};

struct TagValue {
    uint32_t tagId;
    double value;
};

struct MessageBox {
    int32_t code;
    uint32_t flags;
    std::string text;    // the argument, CP949
    std::string message; // the resolved message, CP949
};

class HostLibraries {
public:
    HostLibraries();
    ~HostLibraries();
    HostLibraries(const HostLibraries&) = delete;
    HostLibraries& operator=(const HostLibraries&) = delete;

    // Loads VemorDbm and VemorRun (each only if present) and installs the sinks.
    void Attach();
    bool HasEventLog() const { return run_ != nullptr; }
    bool HasTagDatabase() const { return dbm_ != nullptr; }

    // The names GetTagName answers with.
    void SetTagName(uint32_t tagId, std::string name);
    // How often GetTagName was asked since the last Clear.
    size_t TagNameRequests() const;

    // Called as things arrive, on the thread that made the call; may be left empty.
    std::function<void(const EventLogLine&)> onEventLog;
    std::function<void(const TagValue&)> onTagValue;
    std::function<void(const MessageBox&)> onMessageBox;

    std::vector<EventLogLine> EventLog() const;
    std::vector<TagValue> TagValues() const;
    std::vector<MessageBox> MessageBoxes() const;
    void Clear();

private:
    static void ReceiveEventLog(void* context, int32_t kind, uint32_t flags, const char* text);
    static void ReceiveTagValue(void* context, uint32_t tagId, double value);
    static void AnswerTagName(void* context, uint32_t tagId, std::string& name);
    static void ReceiveMessageBox(void* context, int32_t code, uint32_t flags, const char* text,
                                  const char* message);

    platform::LibraryHandle dbm_ = nullptr;
    platform::LibraryHandle run_ = nullptr;
    mutable std::mutex lock_;
    std::map<uint32_t, std::string> tagNames_;
    size_t tagNameRequests_ = 0;
    std::vector<EventLogLine> eventLog_;
    std::vector<TagValue> tagValues_;
    std::vector<MessageBox> messageBoxes_;
};

} // namespace hostkit
