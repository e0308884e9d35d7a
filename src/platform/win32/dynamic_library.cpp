#include "platform/dynamic_library.h"

#include <windows.h>

namespace platform {

LibraryHandle LoadLibraryByName(const char* windowsFileName) {
    if (windowsFileName == nullptr || *windowsFileName == '\0') {
        return nullptr;
    }
    // The loader's own search: the program's folder first, then the system's folders.
    return LoadLibraryA(windowsFileName);
}

void* FindExport(LibraryHandle library, const char* symbolName) {
    if (library == nullptr || symbolName == nullptr) {
        return nullptr;
    }
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(library), symbolName);
    // Exports may be data (the module's table): hand out a plain address. The cast goes
    // through a function type without parameters, which any function pointer converts to.
    using AnyFunction = void (*)();
    return reinterpret_cast<void*>(reinterpret_cast<AnyFunction>(address));
}

void FreeLibraryHandle(LibraryHandle library) {
    if (library != nullptr) {
        FreeLibrary(static_cast<HMODULE>(library));
    }
}

void KeepLoadedWhileThreadsRun(const void* addressInLibrary) {
    HMODULE pinned = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       static_cast<LPCSTR>(addressInLibrary), &pinned);
}

} // namespace platform
