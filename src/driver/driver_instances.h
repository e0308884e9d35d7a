// The module's open driver instances. An instance's index is its position; nothing is
// removed while the module stays loaded, so indices stay valid for the module's lifetime.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class CVfdaDrvDoc;

namespace driver {

class DriverInstances {
public:
    static DriverInstances& Instance();

    // Appends the document and returns its index.
    int32_t Add(std::unique_ptr<CVfdaDrvDoc> document);
    // The document at the index, or null for an index outside 0..count-1.
    CVfdaDrvDoc* Find(int32_t index) const;
    int32_t Count() const;
    // Stops the communication of every instance that runs.
    void StopAll();
    // Deletes every document in index order and empties the list.
    void DeleteAll();

private:
    // Host threads may open an instance while another calls into one.
    mutable std::mutex lock_;
    std::vector<std::unique_ptr<CVfdaDrvDoc>> documents_;
};

} // namespace driver
