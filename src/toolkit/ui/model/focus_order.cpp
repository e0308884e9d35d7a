// Focus, tab order and groups of the window model, as a Win32 dialog manager keeps them.
#include "toolkit/ui/model/window_model.h"

#include <algorithm>

namespace ui {
namespace {

bool StartsGroup(const ModelWindow* control) {
    return (control->style & kGroup) != 0;
}

bool IsFocusable(const ModelWindow* control) {
    switch (control->kind) {
    case ControlKind::Label:
    case ControlKind::SunkenFrame:
    case ControlKind::UpDown:
        return false;
    default:
        return true;
    }
}

} // namespace

void WindowModel::SetFocus(ModelWindow* window) {
    focus_ = window;
    if (window != nullptr && window->kind != ControlKind::Edit) {
        window->textSelected = false;
    }
}

void WindowModel::GotoControl(ModelWindow* control) {
    if (control == nullptr) {
        return;
    }
    if (focus_ != nullptr && focus_ != control) {
        focus_->textSelected = false;
    }
    focus_ = control;
    control->textSelected = control->kind == ControlKind::Edit;
    control->caret = control->text.size();
}

std::vector<ModelWindow*> WindowModel::TabOrder(ModelWindow* dialog) const {
    std::vector<ModelWindow*> order;
    if (dialog == nullptr) {
        return order;
    }
    for (auto& control : dialog->controls) {
        if (control->type != ModelWindowType::Control) {
            continue;
        }
        order.push_back(control.get());
        if (control->kind != ControlKind::TabControl) {
            continue;
        }
        for (ModelWindow* page : dialog->pages) {
            if (page->tabControl != control.get() || !page->visible) {
                continue;
            }
            for (auto& inner : page->controls) {
                if (inner->type == ModelWindowType::Control) {
                    order.push_back(inner.get());
                }
            }
        }
    }
    return order;
}

bool WindowModel::CanTakeFocus(const ModelWindow* control) {
    return control != nullptr && (control->style & kTabStop) != 0 && IsFocusable(control) &&
           IsUsable(control);
}

std::vector<ModelWindow*> WindowModel::GroupOf(ModelWindow* control) const {
    std::vector<ModelWindow*> group;
    if (control == nullptr || control->parent == nullptr) {
        return group;
    }
    std::vector<ModelWindow*> siblings;
    for (auto& sibling : control->parent->controls) {
        if (sibling->type == ModelWindowType::Control) {
            siblings.push_back(sibling.get());
        }
    }
    auto at = std::find(siblings.begin(), siblings.end(), control);
    if (at == siblings.end()) {
        return group;
    }
    auto first = at;
    while (first != siblings.begin() && !StartsGroup(*first)) {
        --first;
    }
    group.push_back(*first);
    for (auto next = first + 1; next != siblings.end() && !StartsGroup(*next); ++next) {
        group.push_back(*next);
    }
    return group;
}

ModelWindow* WindowModel::FirstTabStop(ModelWindow* dialog) const {
    return NextTabStop(dialog, nullptr, true);
}

ModelWindow* WindowModel::NextTabStop(ModelWindow* dialog, ModelWindow* from, bool forward) const {
    std::vector<ModelWindow*> order = TabOrder(dialog);
    // A group of radio buttons is one stop, entered at its checked button when it has one.
    std::vector<ModelWindow*> stops;
    for (ModelWindow* control : order) {
        if (!CanTakeFocus(control)) {
            continue;
        }
        if (control->kind == ControlKind::RadioButton) {
            for (ModelWindow* member : GroupOf(control)) {
                if (member->kind == ControlKind::RadioButton && member->check != 0 &&
                    IsUsable(member)) {
                    control = member;
                    break;
                }
            }
        }
        if (std::find(stops.begin(), stops.end(), control) == stops.end()) {
            stops.push_back(control);
        }
    }
    if (stops.empty()) {
        return nullptr;
    }
    // Where the current control stands in tab order, even when it is no stop itself.
    const auto position = std::find(order.begin(), order.end(), from);
    if (from == nullptr || position == order.end()) {
        return forward ? stops.front() : stops.back();
    }
    const auto index = position - order.begin();
    const std::vector<ModelWindow*> fromGroup =
        from->kind == ControlKind::RadioButton ? GroupOf(from) : std::vector<ModelWindow*>{};
    auto inFromGroup = [&](ModelWindow* stop) {
        return std::find(fromGroup.begin(), fromGroup.end(), stop) != fromGroup.end();
    };
    auto orderOf = [&](ModelWindow* stop) {
        return std::find(order.begin(), order.end(), stop) - order.begin();
    };
    if (forward) {
        for (ModelWindow* stop : stops) {
            if (orderOf(stop) > index && !inFromGroup(stop)) {
                return stop;
            }
        }
        return stops.front();
    }
    for (auto stop = stops.rbegin(); stop != stops.rend(); ++stop) {
        if (orderOf(*stop) < index && !inFromGroup(*stop)) {
            return *stop;
        }
    }
    return stops.back();
}

} // namespace ui
