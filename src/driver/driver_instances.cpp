#include "driver/driver_instances.h"

#include "comm/comm_channel.h"
#include "config/vfda_drv_doc.h"
#include "driver/never_destroyed.h"

namespace driver {

DriverInstances& DriverInstances::Instance() {
    static NeverDestroyed<DriverInstances> instances;
    return instances.Get();
}

int32_t DriverInstances::Add(std::unique_ptr<CVfdaDrvDoc> document) {
    std::lock_guard guard(lock_);
    documents_.push_back(std::move(document));
    return static_cast<int32_t>(documents_.size() - 1);
}

CVfdaDrvDoc* DriverInstances::Find(int32_t index) const {
    std::lock_guard guard(lock_);
    if (index < 0 || static_cast<size_t>(index) >= documents_.size()) {
        return nullptr;
    }
    return documents_[static_cast<size_t>(index)].get();
}

int32_t DriverInstances::Count() const {
    std::lock_guard guard(lock_);
    return static_cast<int32_t>(documents_.size());
}

void DriverInstances::StopAll() {
    std::lock_guard guard(lock_);
    for (const auto& document : documents_) {
        if (CCommChannel* channel = document->Channel()) {
            channel->Stop();
        }
    }
}

void DriverInstances::DeleteAll() {
    std::vector<std::unique_ptr<CVfdaDrvDoc>> doomed;
    {
        std::lock_guard guard(lock_);
        doomed.swap(documents_);
    }
    for (auto& document : doomed) {
        document.reset();
    }
}

} // namespace driver
