// CVfdaDrvDoc::EditConfig lives with the editor: the document is a leaf that knows nothing of
// dialogs, and the editor that shows one is the room that depends on it.
#include "config/vfda_drv_doc.h"
#include "editor/settings_dialog.h"
#include "platform/file.h"

namespace {

constexpr int32_t kHostCannotRead = 2002;
constexpr uint32_t kMessageBoxFlags = 1;

} // namespace

int CVfdaDrvDoc::EditConfig(const std::string& path) {
    SetPath(path);
    if (platform::FileExists(path) && !LoadFile(path)) {
        CVemorError::ErrMsg(kHostCannotRead, kMessageBoxFlags, path.c_str());
        return 0;
    }
    CSettingsDialog dialog(this);
    dialog.DoModal();
    return dialog.SavedFlag();
}
