#include "resources/module_resources.h"

#include "resources/editor_resources.h"
#include "resources/texts.h"

namespace resources {

const char* ModuleResources::FindString(uint32_t id) const {
    return StringTableText(id);
}

const ui::DialogTemplate* ModuleResources::FindDialog(int id) const {
    return FindDialogTemplate(id);
}

const ui::BitmapResource* ModuleResources::FindBitmap(int id) const {
    return FindBitmapResource(id);
}

} // namespace resources
