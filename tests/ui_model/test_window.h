// A framework window for the window-system tests: records every event it hears and runs
// the test's reactions.
#pragma once

#include "toolkit/ui/window_system.h"

#include <functional>
#include <vector>

namespace uitest {

class TestWindow : public ui::WindowEvents {
public:
    std::function<void(ui::WindowHandle)> onInit;
    std::function<intptr_t(const ui::Event&)> onEvent;
    bool setsFocusItself = false;

    ui::WindowHandle handle = nullptr;
    std::vector<ui::Event> events;
    int destroyed = 0;

    bool OnWindowInit(ui::WindowHandle self) override {
        handle = self;
        if (onInit) {
            onInit(self);
        }
        return !setsFocusItself;
    }
    intptr_t OnWindowEvent(const ui::Event& event) override {
        events.push_back(event);
        return onEvent ? onEvent(event) : 0;
    }
    void OnWindowDestroyed() override {
        ++destroyed;
        handle = nullptr;
    }

    // The events of one kind and code, in order.
    std::vector<ui::Event> Heard(ui::EventCode code) const {
        std::vector<ui::Event> found;
        for (const ui::Event& event : events) {
            if (event.code == code) {
                found.push_back(event);
            }
        }
        return found;
    }
};

} // namespace uitest
