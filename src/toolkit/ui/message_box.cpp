#include "toolkit/ui/message_box.h"

#include "toolkit/extension_module.h"
#include "toolkit/ui/dialog.h"
#include "toolkit/ui/window_system.h"

namespace {

constexpr unsigned kButtonsMask = 0x0F;
constexpr unsigned kIconMask = 0xF0;
constexpr unsigned kYesNoCancel = 0x3;

unsigned WithDefaultIcon(unsigned flags) {
    if ((flags & kIconMask) != 0) {
        return flags;
    }
    const unsigned buttons = flags & kButtonsMask;
    const bool question = buttons == ui::kMbYesNo || buttons == kYesNoCancel;
    return flags | (question ? ui::kMbIconQuestion : ui::kMbIconWarning);
}

} // namespace

int AfxMessageBox(const std::string& text, unsigned flags) {
    ui::WindowSystem* system = ui::CurrentWindowSystem();
    if (system == nullptr) {
        return ui::kIdCancel;
    }
    return system->MessageBox(CDialog::ActiveModalWindow(), text, std::string(),
                              WithDefaultIcon(flags));
}

int AfxMessageBox(uint32_t stringId, unsigned flags) {
    const char* text = AfxFindString(stringId);
    return AfxMessageBox(std::string(text != nullptr ? text : ""), flags);
}
