// The module's STRINGTABLE, read with LoadStringW on its handle and turned into CP949.
#include "toolkit/ui/module_string_resource.h"

#include "toolkit/ui/win32/wide_text.h"

#include <windows.h>

#include <mutex>
#include <set>
#include <string>

namespace ui {
namespace {

// A handle that is the base of a module loaded in this process; look-ups with anything else
// (the stand-in handles of tests) find nothing.
bool IsLoadedModule(void* handle) {
    HMODULE found = nullptr;
    return handle != nullptr &&
           GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                  GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(handle), &found) != FALSE &&
           found == static_cast<HMODULE>(handle);
}

// Every text handed out, kept for the process's lifetime: callers hold the pointers.
const char* Keep(std::string text) {
    static std::mutex lock;
    static std::set<std::string> kept;
    std::lock_guard guard(lock);
    return kept.insert(std::move(text)).first->c_str();
}

} // namespace

const char* ModuleStringResource(void* moduleHandle, uint32_t id) {
    if (id > 0xFFFF || !IsLoadedModule(moduleHandle)) {
        return nullptr;
    }
    // With a length of 0, LoadStringW points at the resource's own text, which is not
    // terminated, and returns its length.
    const wchar_t* text = nullptr;
    const int length = LoadStringW(static_cast<HINSTANCE>(moduleHandle), static_cast<UINT>(id),
                                   reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || text == nullptr) {
        return nullptr;
    }
    return Keep(win32::Cp949FromWide(std::wstring_view(text, static_cast<size_t>(length))));
}

} // namespace ui
