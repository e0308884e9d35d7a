#include "host_link/host_binding.h"

#include "host/vemor_sub.h"
#include "host_link/never_destroyed.h"

namespace driver {

HostBinding& HostBinding::Instance() {
    static NeverDestroyed<HostBinding> binding;
    return binding.Get();
}

void HostBinding::Bind(Library& library, const char* fileName, const char* tableName) {
    if (library.handle != nullptr) {
        return;
    }
    library.handle = platform::LoadLibraryByName(fileName);
    if (library.handle != nullptr) {
        library.table =
            static_cast<const host::TableEntry*>(platform::FindExport(library.handle, tableName));
    }
}

void HostBinding::Release(Library& library) {
    if (library.handle != nullptr) {
        library.table = nullptr;
        platform::FreeLibraryHandle(library.handle);
        library.handle = nullptr;
    }
}

void HostBinding::BindRunTimeLibraries() {
    Bind(dbm_, host::kDbmLibrary, host::kDbmTableName);
    Bind(run_, host::kRunLibrary, host::kRunTableName);
}

bool HostBinding::BindDesigner() {
    Bind(dsg_, host::kDsgLibrary, host::kDsgTableName);
    if (dsg_.table.load() == nullptr) {
        Release(dsg_);
        return false;
    }
    return true;
}

void HostBinding::ReleaseDesigner() {
    Release(dsg_);
}

void HostBinding::ReleaseAll() {
    Release(dsg_);
    Release(run_);
    Release(dbm_);
}

void HostBinding::LetGo() {
    for (Library* library : {&dsg_, &run_, &dbm_}) {
        library->table = nullptr;
    }
}

template <typename Fn> Fn HostBinding::Entry(const Library& library, int index) {
    const host::TableEntry* table = library.table.load();
    return table != nullptr ? reinterpret_cast<Fn>(table[index]) : nullptr;
}

bool HostBinding::WriteEventLog(uint32_t flags, const char* text) const {
    auto write = Entry<host::WriteEventLogFn>(run_, host::kWriteEventLogEntry);
    if (write == nullptr) {
        return false;
    }
    write(host::kEventLogKind, flags, text);
    return true;
}

void HostBinding::SetTagValue(uint32_t tagId, const CTagVal& value) const {
    if (auto set = Entry<host::SetTagValueFn>(dbm_, host::kSetTagValueEntry)) {
        set(tagId, value);
    }
}

std::string HostBinding::GetTagName(uint32_t tagId) const {
    std::string name;
    if (auto get = Entry<host::GetTagNameFn>(dbm_, host::kGetTagNameEntry)) {
        get(tagId, name);
    }
    return name;
}

} // namespace driver
