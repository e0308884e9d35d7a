#include "toolkit/ui/window_system.h"

#include <atomic>

namespace ui {
namespace {

// Set by the host (or a test) on its user-interface thread; read by the dialogs there.
std::atomic<WindowSystem*> g_windowSystem{nullptr};

} // namespace

WindowEvents::~WindowEvents() = default;

WindowSystem::~WindowSystem() = default;

WindowSystem* SetWindowSystem(WindowSystem* system) {
    return g_windowSystem.exchange(system);
}

WindowSystem* CurrentWindowSystem() {
    WindowSystem* system = g_windowSystem.load();
    return system != nullptr ? system : PlatformDefaultWindowSystem();
}

} // namespace ui
