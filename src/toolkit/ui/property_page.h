// A page of a tab sheet: a dialog made from a child template, created by the tab sheet
// over its tab control. Its caption is the tab's title.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/dialog.h"

#include <string>

class TOOLKIT_API CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(int templateId) : CDialog(templateId) {}

    // Creates the page window, hidden, over the tab control; false when it cannot.
    bool Create(ui::WindowHandle tabControl) { return CreatePageWindow(tabControl); }
    // The template's caption, or empty when the template is not on the resource chain.
    std::string GetTitle() const;
};
