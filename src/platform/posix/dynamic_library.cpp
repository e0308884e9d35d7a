#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <limits.h>
#include <string>
#include <unistd.h>

namespace platform {
namespace {

std::string PosixFileName(const char* windowsFileName) {
    std::string name(windowsFileName);
    const std::string dll = ".dll";
    if (name.size() > dll.size()) {
        std::string tail = name.substr(name.size() - dll.size());
        for (char& c : tail) {
            c = static_cast<char>(c | 0x20);
        }
        if (tail == dll) {
            name.resize(name.size() - dll.size());
        }
    }
    return name + ".so";
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (length <= 0) {
        return {};
    }
    std::string folder(path, static_cast<size_t>(length));
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

} // namespace

LibraryHandle LoadLibraryByName(const char* windowsFileName) {
    if (windowsFileName == nullptr || *windowsFileName == '\0') {
        return nullptr;
    }
    const std::string name = PosixFileName(windowsFileName);
    if (name.find('/') == std::string::npos) {
        const std::string beside = ProgramFolder() + name;
        if (void* handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return handle;
        }
    }
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindExport(LibraryHandle library, const char* symbolName) {
    if (library == nullptr || symbolName == nullptr) {
        return nullptr;
    }
    return dlsym(library, symbolName);
}

void FreeLibraryHandle(LibraryHandle library) {
    if (library != nullptr) {
        dlclose(library);
    }
}

void KeepLoadedWhileThreadsRun(const void*) {}

} // namespace platform
