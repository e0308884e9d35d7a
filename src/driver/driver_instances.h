// The module's open driver instances. An instance's index is its position; nothing is
// removed while the module stays loaded, so indices stay valid for the module's lifetime.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

class CVfdaDrvDoc;

namespace driver {

// An instance held for a change of what its worker threads read or of whether they run
// (the channel, tags, poll masks, start and stop): one such change at a time per instance.
// Empty (null document) for an index outside 0..count-1.
// Threads: used by the one host thread that made it, for its lifetime (it holds a lock).
class InstanceControl {
public:
    explicit InstanceControl(int32_t index);
    CVfdaDrvDoc* Document() const { return document_; }

private:
    CVfdaDrvDoc* document_ = nullptr;
    std::unique_lock<std::mutex> guard_;
};

// Threads: any host thread; the list is guarded by lock_, and a document's run-time set-up
// by its own control lock (InstanceControl). StopAll and DeleteAll are for the module's
// unloading: DeleteAll only once every instance is stopped.
class DriverInstances {
public:
    static DriverInstances& Instance();

    // Appends the document and returns its index.
    int32_t Add(std::unique_ptr<CVfdaDrvDoc> document);
    // The document at the index, or null for an index outside 0..count-1.
    CVfdaDrvDoc* Find(int32_t index) const;
    // The document at the index and the lock of its run-time set-up, or nulls.
    std::pair<CVfdaDrvDoc*, std::mutex*> FindWithControl(int32_t index) const;
    int32_t Count() const;
    // Stops the communication of every instance that runs, each under its instance's lock;
    // the list itself is not held meanwhile, so a host callback on a thread being stopped
    // can still reach the entries.
    void StopAll();
    // Deletes every document in index order and empties the list.
    void DeleteAll();

private:
    struct Entry {
        std::unique_ptr<CVfdaDrvDoc> document;
        std::unique_ptr<std::mutex> control = std::make_unique<std::mutex>();
    };

    // Host threads may open an instance while another calls into one.
    mutable std::mutex lock_;
    std::vector<Entry> entries_;
};

} // namespace driver
