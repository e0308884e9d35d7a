#include "host_libraries.h"

#include "host/vemor_tables.h"
#include "stand_in_control.h"

namespace hostkit {

HostLibraries::HostLibraries() {
    VemorSubSetErrMsgSink(&ReceiveMessageBox, this);
}

HostLibraries::~HostLibraries() {
    VemorSubSetErrMsgSink(nullptr, nullptr);
    if (run_ != nullptr) {
        if (auto set = reinterpret_cast<SetEventLogSinkFn>(
                platform::FindExport(run_, kSetEventLogSinkName))) {
            set(nullptr, nullptr);
        }
        platform::FreeLibraryHandle(run_);
    }
    if (dbm_ != nullptr) {
        if (auto set = reinterpret_cast<SetTagValueSinkFn>(
                platform::FindExport(dbm_, kSetTagValueSinkName))) {
            set(nullptr, nullptr);
        }
        if (auto set = reinterpret_cast<SetTagNameSourceFn>(
                platform::FindExport(dbm_, kSetTagNameSourceName))) {
            set(nullptr, nullptr);
        }
        platform::FreeLibraryHandle(dbm_);
    }
}

void HostLibraries::Attach() {
    if (run_ == nullptr) {
        run_ = platform::LoadLibraryByName(host::kRunLibrary);
        if (auto set = reinterpret_cast<SetEventLogSinkFn>(
                platform::FindExport(run_, kSetEventLogSinkName))) {
            set(&ReceiveEventLog, this);
        }
    }
    if (dbm_ == nullptr) {
        dbm_ = platform::LoadLibraryByName(host::kDbmLibrary);
        if (auto set = reinterpret_cast<SetTagValueSinkFn>(
                platform::FindExport(dbm_, kSetTagValueSinkName))) {
            set(&ReceiveTagValue, this);
        }
        if (auto set = reinterpret_cast<SetTagNameSourceFn>(
                platform::FindExport(dbm_, kSetTagNameSourceName))) {
            set(&AnswerTagName, this);
        }
    }
}

void HostLibraries::SetTagName(uint32_t tagId, std::string name) {
    std::lock_guard guard(lock_);
    tagNames_[tagId] = std::move(name);
}

size_t HostLibraries::TagNameRequests() const {
    std::lock_guard guard(lock_);
    return tagNameRequests_;
}

std::vector<EventLogLine> HostLibraries::EventLog() const {
    std::lock_guard guard(lock_);
    return eventLog_;
}

std::vector<TagValue> HostLibraries::TagValues() const {
    std::lock_guard guard(lock_);
    return tagValues_;
}

std::vector<MessageBox> HostLibraries::MessageBoxes() const {
    std::lock_guard guard(lock_);
    return messageBoxes_;
}

void HostLibraries::Clear() {
    std::lock_guard guard(lock_);
    eventLog_.clear();
    tagValues_.clear();
    messageBoxes_.clear();
    tagNameRequests_ = 0;
}

void HostLibraries::ReceiveEventLog(void* context, int32_t kind, uint32_t flags, const char* text) {
    auto* self = static_cast<HostLibraries*>(context);
    EventLogLine line{kind, flags, text};
    {
        std::lock_guard guard(self->lock_);
        self->eventLog_.push_back(line);
    }
    if (self->onEventLog) {
        self->onEventLog(line);
    }
}

void HostLibraries::ReceiveTagValue(void* context, uint32_t tagId, double value) {
    auto* self = static_cast<HostLibraries*>(context);
    TagValue update{tagId, value};
    {
        std::lock_guard guard(self->lock_);
        self->tagValues_.push_back(update);
    }
    if (self->onTagValue) {
        self->onTagValue(update);
    }
}

void HostLibraries::AnswerTagName(void* context, uint32_t tagId, std::string& name) {
    auto* self = static_cast<HostLibraries*>(context);
    std::lock_guard guard(self->lock_);
    ++self->tagNameRequests_;
    const auto found = self->tagNames_.find(tagId);
    name = found != self->tagNames_.end() ? found->second : "TAG" + std::to_string(tagId);
}

void HostLibraries::ReceiveMessageBox(void* context, int32_t code, uint32_t flags, const char* text,
                                      const char* message) {
    auto* self = static_cast<HostLibraries*>(context);
    MessageBox box{code, flags, text != nullptr ? text : "", message != nullptr ? message : ""};
    {
        std::lock_guard guard(self->lock_);
        self->messageBoxes_.push_back(box);
    }
    if (self->onMessageBox) {
        self->onMessageBox(box);
    }
}

} // namespace hostkit
