#include "toolkit/ui/property_page.h"

#include "toolkit/extension_module.h"

std::string CPropertyPage::GetTitle() const {
    const ui::FoundDialog found = AfxFindDialog(TemplateId());
    return found.dialog != nullptr && found.dialog->caption != nullptr ? found.dialog->caption
                                                                       : std::string();
}
