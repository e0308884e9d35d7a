// The module's resources on the resource chain, as the module offers them once it is
// attached.
#include "dialog_fixture.h"

#include "resources/module_resources.h"
#include "toolkit/extension_module.h"

#include <memory>

namespace editor_test {
namespace {

struct Registration {
    Registration() {
        AfxInitExtensionModule(module, &module);
        module.m_resources = &provider;
        link = std::make_unique<CDynLinkLibrary>(module);
    }
    resources::ModuleResources provider;
    CExtensionModule module;
    std::unique_ptr<CDynLinkLibrary> link;
};

} // namespace

void RegisterEditorResources() {
    static Registration registration;
}

} // namespace editor_test
