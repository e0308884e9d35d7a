// What a user does to the window model: each action changes the control's state first and
// then notifies the window that owns the control, as the Win32 controls do.
#include "toolkit/ui/model/window_model.h"

#include <algorithm>
#include <charconv>

namespace ui {
namespace {

bool ParseInt(const std::string& text, int& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin < end && *begin == ' ') {
        ++begin;
    }
    const auto result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr != begin;
}

} // namespace

void WindowModel::CheckRadio(ModelWindow* radio) {
    for (ModelWindow* member : GroupOf(radio)) {
        if (member->kind == ControlKind::RadioButton) {
            member->check = member == radio ? 1 : 0;
        }
    }
}

bool WindowModel::UserClick(ModelWindow* control) {
    if (!IsUsable(control) || !IsButton(control)) {
        return false;
    }
    GotoControl(control);
    if (control->kind == ControlKind::CheckBox) {
        control->check = control->check != 0 ? 0 : 1;
    } else if (control->kind == ControlKind::RadioButton) {
        CheckRadio(control);
    }
    SendCommand(control, EventCode::Clicked);
    return true;
}

bool WindowModel::UserType(ModelWindow* edit, const std::string& text) {
    if (!IsUsable(edit) || edit->kind != ControlKind::Edit) {
        return false;
    }
    if (focus_ != edit) {
        SetFocus(edit);
    }
    edit->text = (edit->style & kUpperCase) != 0 ? UpperCaseCp949(text) : text;
    edit->textSelected = false;
    edit->caret = std::min(edit->caret, edit->text.size());
    SendCommand(edit, EventCode::EditChange);
    return true;
}

bool WindowModel::UserChoose(ModelWindow* list, int index) {
    if (!IsUsable(list) || list->kind != ControlKind::DropDownList || index < 0 ||
        index >= static_cast<int>(list->items.size())) {
        return false;
    }
    SetFocus(list);
    list->curSel = index;
    SendCommand(list, EventCode::SelectionChange);
    return true;
}

bool WindowModel::UserSelectTreeItem(ModelWindow* tree, ModelTreeItem* item) {
    if (!IsUsable(tree) || tree->kind != ControlKind::TreeView) {
        return false;
    }
    SetFocus(tree);
    return SelectItem(tree, item);
}

bool WindowModel::UserDoubleClickTree(ModelWindow* tree, ModelTreeItem* item) {
    if (!IsUsable(tree) || tree->kind != ControlKind::TreeView) {
        return false;
    }
    SetFocus(tree);
    if (item != nullptr) {
        SelectItem(tree, item);
        if (Window(tree) == nullptr) {
            return true; // the selection's handler closed the page
        }
    }
    SendNotify(tree, EventCode::TreeDoubleClick, item);
    return true;
}

bool WindowModel::UserSwitchTab(ModelWindow* tab, int index) {
    if (!IsUsable(tab) || tab->kind != ControlKind::TabControl || index < 0 ||
        index >= static_cast<int>(tab->tabs.size())) {
        return false;
    }
    SetFocus(tab);
    if (index == tab->curTab) {
        return true;
    }
    Event changing;
    changing.kind = EventKind::Notify;
    changing.controlId = tab->id;
    changing.code = EventCode::TabSelChanging;
    if (Dispatch(OwnerOf(tab), changing) != 0) {
        return true; // the owner refused to leave the current tab
    }
    if (Window(tab) == nullptr) {
        return true;
    }
    tab->curTab = index;
    SendNotify(tab, EventCode::TabSelChange);
    return true;
}

ModelWindow* WindowModel::UpDownOf(ModelWindow* buddy) const {
    if (buddy == nullptr || buddy->parent == nullptr) {
        return nullptr;
    }
    for (auto& control : buddy->parent->controls) {
        if (control->kind == ControlKind::UpDown && control->buddy == buddy) {
            return control.get();
        }
    }
    return nullptr;
}

bool WindowModel::UserSpin(ModelWindow* upDown, int delta) {
    if (!IsUsable(upDown) || upDown->kind != ControlKind::UpDown) {
        return false;
    }
    const bool setsBuddy = (upDown->style & kUpDownSetBuddyInt) != 0 && upDown->buddy != nullptr;
    const int low = std::min(upDown->lower, upDown->upper);
    const int high = std::max(upDown->lower, upDown->upper);
    // "Up" runs towards the upper end of the range, whichever way round the range is.
    const int step = upDown->upper >= upDown->lower ? 1 : -1;
    const int presses = delta < 0 ? -delta : delta;
    for (int press = 0; press < presses; ++press) {
        int position = upDown->position;
        int fromBuddy = 0;
        if (setsBuddy && ParseInt(upDown->buddy->text, fromBuddy)) {
            position = fromBuddy; // the buddy's text is the position, as typed
        }
        position = std::clamp(position + (delta > 0 ? step : -step), low, high);
        upDown->position = position;
        if (setsBuddy) {
            upDown->buddy->text = std::to_string(position);
            upDown->buddy->textSelected = false;
            upDown->buddy->caret = upDown->buddy->text.size();
        }
        SendNotify(upDown, EventCode::UpDownDelta);
        if (Window(upDown) == nullptr) {
            return true;
        }
    }
    return true;
}

bool WindowModel::UserEnter(ModelWindow* dialog) {
    if (dialog == nullptr) {
        return false;
    }
    ModelWindow* target = nullptr;
    if (focus_ != nullptr && DialogOf(focus_) == dialog &&
        (focus_->kind == ControlKind::PushButton || focus_->kind == ControlKind::DefaultButton)) {
        target = focus_;
    }
    for (auto it = dialog->controls.begin(); target == nullptr && it != dialog->controls.end();
         ++it) {
        if ((*it)->type == ModelWindowType::Control && (*it)->kind == ControlKind::DefaultButton) {
            target = it->get();
        }
    }
    if (target == nullptr) {
        target = Control(dialog, kIdOk, ModelWindowType::Control);
    }
    if (target != nullptr && !IsUsable(target)) {
        return false;
    }
    Event event;
    event.kind = EventKind::Command;
    event.controlId = target != nullptr ? target->id : kIdOk;
    event.code = EventCode::Clicked;
    Dispatch(target != nullptr ? OwnerOf(target) : dialog, event);
    return true;
}

bool WindowModel::UserCancel(ModelWindow* dialog) {
    if (dialog == nullptr) {
        return false;
    }
    Event event;
    event.kind = EventKind::Command;
    event.controlId = kIdCancel;
    event.code = EventCode::Clicked;
    Dispatch(dialog, event);
    return true;
}

} // namespace ui
