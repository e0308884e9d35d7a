// The resource chain: every module that registers itself offers its serializable classes
// and its resources (strings now, dialogs and bitmaps for the editor) to look-ups made
// anywhere in the process, newest module first.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/resource_templates.h"

#include <cstdint>
#include <vector>

struct CRuntimeClass;

// What a module offers to the chain beside its classes.
class TOOLKIT_API CResourceProvider {
public:
    virtual ~CResourceProvider();
    // The CP949 text of a string-table entry, or null when the module has no such entry.
    virtual const char* FindString(uint32_t id) const = 0;
    // A dialog template or a bitmap of the module; null when it has none of that id.
    virtual const ui::DialogTemplate* FindDialog(int id) const;
    virtual const ui::BitmapResource* FindBitmap(int id) const;
};

struct TOOLKIT_API CExtensionModule {
    bool m_bInitialized = false;
    void* m_hModule = nullptr;
    std::vector<const CRuntimeClass*> m_classes;
    const CResourceProvider* m_resources = nullptr;
};

// Prepares the module record; false when it cannot be used (no module handle).
TOOLKIT_API bool AfxInitExtensionModule(CExtensionModule& module, void* moduleHandle);
// Removes the module from the chain; its classes and resources are no longer found.
TOOLKIT_API void AfxTermExtensionModule(CExtensionModule& module);

// Puts a module on the chain for as long as the object lives.
class TOOLKIT_API CDynLinkLibrary {
public:
    explicit CDynLinkLibrary(CExtensionModule& module);
    ~CDynLinkLibrary();
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

    CExtensionModule& Module() const { return module_; }

private:
    CExtensionModule& module_;
};

// The first class of that name on the chain, or null.
TOOLKIT_API const CRuntimeClass* AfxFindClass(const char* className);
// The first string-table text of that id on the chain, or null.
TOOLKIT_API const char* AfxFindString(uint32_t id);
// The first dialog template or bitmap of that id on the chain, with its module's handle;
// empty when no module has one.
TOOLKIT_API ui::FoundDialog AfxFindDialog(int id);
TOOLKIT_API ui::FoundBitmap AfxFindBitmap(int id);
