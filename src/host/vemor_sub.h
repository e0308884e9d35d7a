// The host's linked library VemorSub: value classes, the configuration file header and the
// host's message box, as the module uses them.
#pragma once

#include "platform/export.h"
#include "toolkit/object.h"

#include <cstdint>
#include <string>

#if defined(VFDA_BUILDING_VEMORSUB)
#define VEMORSUB_API VFDA_EXPORT
#else
#define VEMORSUB_API VFDA_IMPORT
#endif

// A tag value.
class VEMORSUB_API CTagVal {
public:
    explicit CTagVal(double value = 0.0);
    ~CTagVal();
    double GetVal() const;
    void SetVal(double value);

private:
    double m_value;
};

// One value change for the tag database: the tag id and its new value.
class VEMORSUB_API CEventVal : public CObject {
    DECLARE_SERIAL(CEventVal)
public:
    CEventVal();
    ~CEventVal() override;
    void Serialize(CArchive& archive) override;

    uint32_t m_tagId = 0;
    CTagVal m_value;
};

// The header that opens every configuration file of the host's drivers.
class VEMORSUB_API CVemorHeader : public CObject {
public:
    explicit CVemorHeader(int32_t kind);
    ~CVemorHeader() override;
    void SetDesc(const char* description);
    void Serialize(CArchive& archive) override;

    int32_t Kind() const { return m_kind; }
    const std::string& Desc() const { return m_description; }

private:
    int32_t m_kind;
    std::string m_description;
};

// The host's message box.
class VEMORSUB_API CVemorError {
public:
    // code: a host message (2002, 2005) or a string id of the module's table (2700-2710);
    // text: the argument the message shows, or null. The result carries no meaning.
    static int ErrMsg(int32_t code, uint32_t flags, const char* text, ...);
};
