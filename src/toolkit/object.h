// The framework's object model: serializable classes with run-time class records that a
// reader can find by name and create.
#pragma once

#include "platform/export.h"

#include <cstdint>

class CArchive;
class CObject;

struct TOOLKIT_API CRuntimeClass {
    const char* m_lpszClassName;
    int m_nObjectSize;
    uint32_t m_wSchema;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    // A new object of the class, or null for a class that cannot be created by name.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* base) const;
};

class TOOLKIT_API CObject {
public:
    // The first three virtual operations, in this order, as every persistent class has them.
    virtual const CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject();
    virtual void Serialize(CArchive& archive);

    bool IsKindOf(const CRuntimeClass* type) const;

    static const CRuntimeClass classCObject;

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(name) (&name::class##name)

// Declares a class that has a class record, can be created by name and written to archives.
#define DECLARE_SERIAL(name)                                                                       \
public:                                                                                            \
    static const CRuntimeClass class##name;                                                        \
    static CObject* CreateObject();                                                                \
    const CRuntimeClass* GetRuntimeClass() const override;

#define IMPLEMENT_SERIAL(name, base, schema)                                                       \
    CObject* name::CreateObject() {                                                                \
        return new name;                                                                           \
    }                                                                                              \
    const CRuntimeClass name::class##name = {#name, static_cast<int>(sizeof(name)), schema,        \
                                             name::CreateObject, RUNTIME_CLASS(base)};             \
    const CRuntimeClass* name::GetRuntimeClass() const {                                           \
        return RUNTIME_CLASS(name);                                                                \
    }

// Declares a class that can be created by name but is never written to archives (its class
// record carries no schema).
#define DECLARE_DYNCREATE(name) DECLARE_SERIAL(name)
#define IMPLEMENT_DYNCREATE(name, base) IMPLEMENT_SERIAL(name, base, 0xFFFF)
