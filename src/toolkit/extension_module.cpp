#include "toolkit/extension_module.h"

#include "toolkit/object.h"
#include "toolkit/ui/module_string_resource.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

// Modules come and go on the host's thread, look-ups may come from any thread.
std::mutex& ChainLock() {
    static std::mutex lock;
    return lock;
}

std::vector<CDynLinkLibrary*>& Chain() {
    static std::vector<CDynLinkLibrary*> chain;
    return chain;
}

} // namespace

CResourceProvider::~CResourceProvider() = default;

const ui::DialogTemplate* CResourceProvider::FindDialog(int) const {
    return nullptr;
}

const ui::BitmapResource* CResourceProvider::FindBitmap(int) const {
    return nullptr;
}

bool AfxInitExtensionModule(CExtensionModule& module, void* moduleHandle) {
    if (moduleHandle == nullptr) {
        return false;
    }
    module.m_hModule = moduleHandle;
    module.m_bInitialized = true;
    return true;
}

void AfxTermExtensionModule(CExtensionModule& module) {
    std::lock_guard guard(ChainLock());
    auto& chain = Chain();
    chain.erase(std::remove_if(chain.begin(), chain.end(),
                               [&](CDynLinkLibrary* link) { return &link->Module() == &module; }),
                chain.end());
    module.m_bInitialized = false;
}

CDynLinkLibrary::CDynLinkLibrary(CExtensionModule& module) : module_(module) {
    std::lock_guard guard(ChainLock());
    Chain().insert(Chain().begin(), this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    std::lock_guard guard(ChainLock());
    auto& chain = Chain();
    chain.erase(std::remove(chain.begin(), chain.end(), this), chain.end());
}

const CRuntimeClass* AfxFindClass(const char* className) {
    std::lock_guard guard(ChainLock());
    for (const CDynLinkLibrary* link : Chain()) {
        for (const CRuntimeClass* type : link->Module().m_classes) {
            if (std::strcmp(type->m_lpszClassName, className) == 0) {
                return type;
            }
        }
    }
    return nullptr;
}

const char* AfxFindString(uint32_t id) {
    std::lock_guard guard(ChainLock());
    for (const CDynLinkLibrary* link : Chain()) {
        // The module's own string table first, as a Windows host would read it.
        if (const char* text = ui::ModuleStringResource(link->Module().m_hModule, id)) {
            return text;
        }
        if (link->Module().m_resources != nullptr) {
            if (const char* text = link->Module().m_resources->FindString(id)) {
                return text;
            }
        }
    }
    return nullptr;
}

ui::FoundDialog AfxFindDialog(int id) {
    std::lock_guard guard(ChainLock());
    for (const CDynLinkLibrary* link : Chain()) {
        if (const CResourceProvider* resources = link->Module().m_resources) {
            if (const ui::DialogTemplate* dialog = resources->FindDialog(id)) {
                return {dialog, link->Module().m_hModule};
            }
        }
    }
    return {};
}

ui::FoundBitmap AfxFindBitmap(int id) {
    std::lock_guard guard(ChainLock());
    for (const CDynLinkLibrary* link : Chain()) {
        if (const CResourceProvider* resources = link->Module().m_resources) {
            if (const ui::BitmapResource* bitmap = resources->FindBitmap(id)) {
                return {bitmap, link->Module().m_hModule};
            }
        }
    }
    return {};
}
