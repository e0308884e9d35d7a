// What the module offers on the resource chain: its string table, the editor's dialog
// templates and the station tree's bitmap.
#pragma once

#include "toolkit/extension_module.h"

namespace resources {

class ModuleResources : public CResourceProvider {
public:
    const char* FindString(uint32_t id) const override;
    const ui::DialogTemplate* FindDialog(int id) const override;
    const ui::BitmapResource* FindBitmap(int id) const override;
};

} // namespace resources
