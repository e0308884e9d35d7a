// Message maps: a class's static table from (event kind, control id, code) to the member
// function that handles it. A dialog's OnEvent looks its table up first and hands what it
// does not handle to its base class:
//
//     bool CMyDialog::OnEvent(const ui::Event& event, intptr_t& result) {
//         using Map = ui::MessageMap<CMyDialog>;
//         static const Map map{Map::Clicked(9011, &CMyDialog::OnSave)};
//         return map.Dispatch(*this, event, result) || CDialog::OnEvent(event, result);
//     }
#pragma once

#include "toolkit/ui/window_system.h"

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace ui {

template <class T> class MessageMap {
public:
    using CommandHandler = void (T::*)();                       // result 0
    using NotifyHandler = void (T::*)(const Event&, intptr_t&); // sets the result
    using ShowHandler = void (T::*)(bool shown);

    struct Entry {
        EventKind kind;
        int controlId;
        EventCode code;
        CommandHandler command = nullptr;
        NotifyHandler notify = nullptr;
        ShowHandler show = nullptr;
    };

    MessageMap(std::initializer_list<Entry> entries) : entries_(entries) {}

    // A button's click (also IDOK and IDCANCEL from the keyboard and the close box).
    static Entry Clicked(int controlId, CommandHandler handler) {
        return {EventKind::Command, controlId, EventCode::Clicked, handler};
    }
    // A drop-down list's change of selection by the user.
    static Entry SelectionChange(int controlId, CommandHandler handler) {
        return {EventKind::Command, controlId, EventCode::SelectionChange, handler};
    }
    // A common control's notification.
    static Entry Notify(int controlId, EventCode code, NotifyHandler handler) {
        return {EventKind::Notify, controlId, code, nullptr, handler};
    }
    // The window itself is being shown or hidden.
    static Entry Show(ShowHandler handler) {
        return {EventKind::Show, 0, EventCode::None, nullptr, nullptr, handler};
    }

    // Calls the handler of the first matching entry; false when there is none.
    bool Dispatch(T& target, const Event& event, intptr_t& result) const {
        for (const Entry& entry : entries_) {
            if (!Matches(entry, event)) {
                continue;
            }
            result = 0;
            if (entry.command != nullptr) {
                (target.*entry.command)();
            } else if (entry.notify != nullptr) {
                (target.*entry.notify)(event, result);
            } else if (entry.show != nullptr) {
                (target.*entry.show)(event.shown);
            }
            return true;
        }
        return false;
    }

private:
    static bool Matches(const Entry& entry, const Event& event) {
        if (entry.kind != event.kind) {
            return false;
        }
        return entry.kind == EventKind::Show ||
               (entry.controlId == event.controlId && entry.code == event.code);
    }

    std::vector<Entry> entries_;
};

} // namespace ui
