// The host's message box. The stand-in hands every message to the host program's sink, or
// prints it to stderr when no sink is installed; while a dialog runs modally (the editor)
// it also shows the message in a message box over that dialog.
#include "host/vemor_sub.h"
#include "stand_in_control.h"
#include "toolkit/extension_module.h"
#include "toolkit/ui/dialog.h"
#include "toolkit/ui/window_system.h"

#include <cstdio>
#include <mutex>
#include <string>

namespace {

std::mutex g_sinkLock;
ErrMsgSink g_sink = nullptr;
void* g_sinkContext = nullptr;

// The host's own texts (CP949, as this file is compiled).
const char* HostText(int32_t code) {
    switch (code) {
    case 2002:
        return "파일[%s]을 읽을 수 없습니다.";
    case 2005:
        return "파일[%s]을 저장할 수 없습니다.";
    default:
        return nullptr;
    }
}

std::string Resolve(int32_t code, const char* text) {
    const char* format = HostText(code);
    if (format == nullptr) {
        format = AfxFindString(static_cast<uint32_t>(code));
    }
    if (format == nullptr) {
        return "#" + std::to_string(code);
    }
    std::string message(format);
    const size_t slot = message.find("%s");
    if (slot != std::string::npos) {
        message.replace(slot, 2, text != nullptr ? text : "");
    }
    return message;
}

} // namespace

void VemorSubSetErrMsgSink(ErrMsgSink sink, void* context) {
    std::lock_guard guard(g_sinkLock);
    g_sink = sink;
    g_sinkContext = context;
}

namespace {

// Outside the editor (command-line hosts, tests) nothing is there to answer a box.
void ShowOverActiveDialog(const std::string& message) {
    ui::WindowHandle owner = CDialog::ActiveModalWindow();
    ui::WindowSystem* system = ui::CurrentWindowSystem();
    if (owner != nullptr && system != nullptr) {
        system->MessageBox(owner, message, std::string(), ui::kMbOk | ui::kMbIconWarning);
    }
}

} // namespace

int CVemorError::ErrMsg(int32_t code, uint32_t flags, const char* text, ...) {
    const std::string message = Resolve(code, text);
    {
        std::lock_guard guard(g_sinkLock);
        if (g_sink != nullptr) {
            g_sink(g_sinkContext, code, flags, text, message.c_str());
        } else {
            std::fprintf(stderr, "[%d] %s\n", static_cast<int>(code), message.c_str());
        }
    }
    // The box runs a modal loop: it is shown without the sink's lock held.
    ShowOverActiveDialog(message);
    return 0;
}
