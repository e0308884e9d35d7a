// The host's linked library VemorSub: value classes, the configuration file header and the
// host's message box, as the module uses them.
#pragma once

#include "platform/export.h"
#include "toolkit/object.h"
#include "toolkit/ui/controls.h"

#include <cstdint>
#include <string>
#include <vector>

class CPropertyPage;

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
    // text: the argument the message shows, or null. While a dialog runs modally the message
    // is shown in a message box over it. The result carries no meaning.
    static int ErrMsg(int32_t code, uint32_t flags, const char* text, ...);
};

// The tab control of a settings dialog with its pages: bound to the dialog's tab control,
// it shows the page of the active tab and hides the others whenever the tab changes.
class VEMORSUB_API CTabSheet : public CTabCtrl {
public:
    CTabSheet();
    ~CTabSheet() override;

    // Adds a tab titled with the page's title and creates the page's window, hidden. The
    // sheet must be bound to its control; the page stays owned by the caller.
    void AddPage(CPropertyPage* page);
    // Makes tab `index` the active one and shows its page; false for no such tab.
    bool SetActivePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }

    bool OnChildNotify(const ui::Event& event, intptr_t& result) override;

private:
    void ShowActivePage();

    std::vector<CPropertyPage*> m_pages;
};
