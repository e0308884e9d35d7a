#include "driver/driver_instances.h"

#include "comm/comm_channel.h"
#include "config/vfda_drv_doc.h"
#include "host_link/never_destroyed.h"

namespace driver {

InstanceControl::InstanceControl(int32_t index) {
    const auto [document, control] = DriverInstances::Instance().FindWithControl(index);
    if (document != nullptr) {
        guard_ = std::unique_lock(*control);
        document_ = document;
    }
}

DriverInstances& DriverInstances::Instance() {
    static NeverDestroyed<DriverInstances> instances;
    return instances.Get();
}

int32_t DriverInstances::Add(std::unique_ptr<CVfdaDrvDoc> document) {
    Entry entry;
    entry.document = std::move(document);
    std::lock_guard guard(lock_);
    entries_.push_back(std::move(entry));
    return static_cast<int32_t>(entries_.size() - 1);
}

CVfdaDrvDoc* DriverInstances::Find(int32_t index) const {
    return FindWithControl(index).first;
}

std::pair<CVfdaDrvDoc*, std::mutex*> DriverInstances::FindWithControl(int32_t index) const {
    std::lock_guard guard(lock_);
    if (index < 0 || static_cast<size_t>(index) >= entries_.size()) {
        return {nullptr, nullptr};
    }
    const Entry& entry = entries_[static_cast<size_t>(index)];
    return {entry.document.get(), entry.control.get()};
}

int32_t DriverInstances::Count() const {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(entries_.size());
}

void DriverInstances::StopAll() {
    for (int32_t index = 0; index < Count(); ++index) {
        InstanceControl control(index);
        if (control.Document() == nullptr) {
            continue;
        }
        if (CCommChannel* channel = control.Document()->Channel()) {
            channel->Stop();
        }
    }
}

void DriverInstances::DeleteAll() {
    std::vector<Entry> doomed;
    {
        std::lock_guard guard(lock_);
        doomed.swap(entries_);
    }
    for (auto& entry : doomed) {
        entry.document.reset();
    }
}

} // namespace driver
