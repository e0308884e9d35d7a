// What the keys do in a dialog of the terminal window system, control by control.
#include "platform/text_codec.h"
#include "toolkit/ui/terminal/cp949_text.h"
#include "toolkit/ui/terminal/terminal_window_system.h"

#include <algorithm>

namespace ui {
namespace {

using platform::KeyCode;
using platform::KeyPress;

// An edit field holds at most this many bytes, as a Win32 edit holds 30,000 characters.
constexpr size_t kEditLimit = 30000;
// Page Up and Page Down in a list move this many entries.
constexpr int kListPage = 8;

bool IsSpace(const KeyPress& key) {
    return key.code == KeyCode::Text && key.text == " ";
}

bool EditKey(WindowModel& model, ModelWindow& edit, const KeyPress& key) {
    std::string text = edit.text;
    size_t caret = std::min(edit.caret, text.size());
    switch (key.code) {
    case KeyCode::Text: {
        std::string typed;
        if (!platform::Utf8ToCp949(key.text, typed) || typed.empty()) {
            return true; // a character without a CP949 form is not taken
        }
        if (edit.textSelected) {
            text.clear();
            caret = 0;
        }
        if (text.size() + typed.size() > kEditLimit) {
            return true;
        }
        text.insert(caret, typed);
        caret += typed.size();
        break;
    }
    case KeyCode::Backspace:
    case KeyCode::Delete:
        if (edit.textSelected) {
            text.clear();
            caret = 0;
        } else if (key.code == KeyCode::Backspace && caret > 0) {
            const size_t start = PreviousCharCp949(text, caret);
            text.erase(start, caret - start);
            caret = start;
        } else if (key.code == KeyCode::Delete && caret < text.size()) {
            text.erase(caret, NextCharCp949(text, caret) - caret);
        } else {
            return true;
        }
        break;
    case KeyCode::Left:
    case KeyCode::Right:
    case KeyCode::Home:
    case KeyCode::End:
        edit.caret = key.code == KeyCode::Left    ? PreviousCharCp949(text, caret)
                     : key.code == KeyCode::Right ? NextCharCp949(text, caret)
                     : key.code == KeyCode::Home  ? 0
                                                  : text.size();
        edit.textSelected = false;
        return true;
    case KeyCode::Up:
    case KeyCode::Down: {
        ModelWindow* upDown = model.UpDownOf(&edit);
        if (upDown == nullptr || (upDown->style & kUpDownArrowKeys) == 0) {
            return false;
        }
        model.UserSpin(upDown, key.code == KeyCode::Up ? 1 : -1);
        return true;
    }
    default:
        return false;
    }
    edit.caret = caret;
    model.UserType(&edit, text);
    return true;
}

bool ListKey(WindowModel& model, ModelWindow& list, const KeyPress& key) {
    const int count = static_cast<int>(list.items.size());
    if (count == 0) {
        return false;
    }
    int index = list.curSel;
    switch (key.code) {
    case KeyCode::Up:
    case KeyCode::Left:
        index = std::max(0, index - 1);
        break;
    case KeyCode::Down:
    case KeyCode::Right:
        index = std::min(count - 1, index + 1);
        break;
    case KeyCode::PageUp:
        index = std::max(0, index - kListPage);
        break;
    case KeyCode::PageDown:
        index = std::min(count - 1, std::max(0, index) + kListPage);
        break;
    case KeyCode::Home:
        index = 0;
        break;
    case KeyCode::End:
        index = count - 1;
        break;
    case KeyCode::Text: {
        // The next entry that starts with the letter typed (blanks before it skipped).
        std::string typed;
        if (!platform::Utf8ToCp949(key.text, typed) || typed.empty() || typed == " ") {
            return false;
        }
        const std::string wanted = WindowModel::UpperCaseCp949(typed);
        for (int step = 1; step <= count; ++step) {
            const int candidate = (std::max(0, index) + step) % count;
            std::string entry = list.items[static_cast<size_t>(candidate)];
            entry.erase(0, entry.find_first_not_of(' ') == std::string::npos
                               ? 0
                               : entry.find_first_not_of(' '));
            if (WindowModel::UpperCaseCp949(entry).rfind(wanted, 0) == 0) {
                index = candidate;
                break;
            }
        }
        break;
    }
    default:
        return false;
    }
    if (index != list.curSel) {
        model.UserChoose(&list, index);
    }
    return true;
}

bool TreeKey(WindowModel& model, ModelWindow& tree, const KeyPress& key) {
    const std::vector<ModelTreeItem*> items = WindowModel::TreeItemsInOrder(&tree, true);
    if (items.empty()) {
        return false;
    }
    ModelTreeItem* selected = tree.treeSelected;
    const auto at = std::find(items.begin(), items.end(), selected);
    const int index = at == items.end() ? -1 : static_cast<int>(at - items.begin());
    const int last = static_cast<int>(items.size()) - 1;
    ModelTreeItem* target = selected;
    switch (key.code) {
    case KeyCode::Up:
        target = items[static_cast<size_t>(std::max(0, index - 1))];
        break;
    case KeyCode::Down:
        target = items[static_cast<size_t>(std::min(last, index + 1))];
        break;
    case KeyCode::Home:
        target = items.front();
        break;
    case KeyCode::End:
        target = items.back();
        break;
    case KeyCode::Left:
        if (selected == nullptr) {
            target = items.front();
        } else if (selected->expanded && !selected->children.empty()) {
            selected->expanded = false;
        } else if (selected->parent != nullptr) {
            target = selected->parent;
        }
        break;
    case KeyCode::Right:
        if (selected == nullptr) {
            target = items.front();
        } else if (!selected->children.empty() && !selected->expanded) {
            selected->expanded = true;
        } else if (!selected->children.empty()) {
            target = selected->children.front().get();
        }
        break;
    default:
        return false;
    }
    if (target != selected) {
        model.UserSelectTreeItem(&tree, target);
    }
    return true;
}

bool RadioKey(WindowModel& model, ModelWindow& radio, const KeyPress& key) {
    const bool back = key.code == KeyCode::Up || key.code == KeyCode::Left;
    const bool ahead = key.code == KeyCode::Down || key.code == KeyCode::Right;
    if (!back && !ahead) {
        return false;
    }
    std::vector<ModelWindow*> radios;
    for (ModelWindow* member : model.GroupOf(&radio)) {
        if (member->kind == ControlKind::RadioButton && WindowModel::IsUsable(member)) {
            radios.push_back(member);
        }
    }
    const auto at = std::find(radios.begin(), radios.end(), &radio);
    if (at == radios.end() || radios.size() < 2) {
        return true;
    }
    const size_t count = radios.size();
    const size_t index = static_cast<size_t>(at - radios.begin());
    // An automatic radio button is checked as the focus reaches it.
    model.UserClick(radios[(index + (back ? count - 1 : 1)) % count]);
    return true;
}

} // namespace

bool TerminalWindowSystem::HandleControlKey(ModelWindow& control, const KeyPress& key) {
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultButton:
        if (key.code == KeyCode::Enter || IsSpace(key)) {
            model_.UserClick(&control);
            return true;
        }
        return false;
    case ControlKind::CheckBox:
        if (IsSpace(key)) {
            model_.UserClick(&control);
            return true;
        }
        return false;
    case ControlKind::RadioButton:
        if (IsSpace(key)) {
            model_.UserClick(&control);
            return true;
        }
        return RadioKey(model_, control, key);
    case ControlKind::Edit:
        return EditKey(model_, control, key);
    case ControlKind::DropDownList:
        if (IsSpace(key) && !control.items.empty()) {
            openList_ = &control;
            listHighlight_ = std::max(0, control.curSel);
            return true;
        }
        return ListKey(model_, control, key);
    case ControlKind::TreeView:
        return TreeKey(model_, control, key);
    case ControlKind::TabControl:
        if (key.code == KeyCode::Left || key.code == KeyCode::Right) {
            model_.UserSwitchTab(&control, control.curTab + (key.code == KeyCode::Left ? -1 : 1));
            return true;
        }
        return false;
    default:
        return false;
    }
}

void TerminalWindowSystem::EnsureFocus(ModelWindow& dialog) {
    ModelWindow* focus = model_.Focus();
    if (focus == nullptr || WindowModel::DialogOf(focus) != &dialog ||
        focus->type != ModelWindowType::Control || !WindowModel::IsUsable(focus)) {
        model_.GotoControl(model_.FirstTabStop(&dialog));
    }
}

void TerminalWindowSystem::MoveFocus(ModelWindow& dialog, bool forward) {
    if (ModelWindow* next = model_.NextTabStop(&dialog, model_.Focus(), forward)) {
        model_.GotoControl(next);
    }
}

bool TerminalWindowSystem::ListIsOpen(const ModelWindow& dialog) const {
    return openList_ != nullptr && model_.Window(openList_) == openList_ &&
           WindowModel::DialogOf(openList_) == &dialog && WindowModel::IsUsable(openList_) &&
           !openList_->items.empty();
}

void TerminalWindowSystem::HandleOpenListKey(const KeyPress& key) {
    const int last = static_cast<int>(openList_->items.size()) - 1;
    switch (key.code) {
    case KeyCode::Up:
        listHighlight_ = std::max(0, listHighlight_ - 1);
        return;
    case KeyCode::Down:
        listHighlight_ = std::min(last, listHighlight_ + 1);
        return;
    case KeyCode::PageUp:
        listHighlight_ = std::max(0, listHighlight_ - kListPage);
        return;
    case KeyCode::PageDown:
        listHighlight_ = std::min(last, listHighlight_ + kListPage);
        return;
    case KeyCode::Home:
        listHighlight_ = 0;
        return;
    case KeyCode::End:
        listHighlight_ = last;
        return;
    case KeyCode::Enter:
    case KeyCode::Text: {
        if (key.code == KeyCode::Text && !IsSpace(key)) {
            return;
        }
        ModelWindow* list = openList_;
        openList_ = nullptr;
        if (listHighlight_ != list->curSel) {
            model_.UserChoose(list, listHighlight_);
        }
        return;
    }
    case KeyCode::Escape:
    case KeyCode::Interrupt:
    case KeyCode::Tab:
    case KeyCode::BackTab:
        openList_ = nullptr; // closed without a choice
        return;
    default:
        return;
    }
}

void TerminalWindowSystem::HandleDialogKey(ModelWindow& dialog, const KeyPress& key) {
    if (ListIsOpen(dialog)) {
        HandleOpenListKey(key);
        return;
    }
    openList_ = nullptr;
    switch (key.code) {
    case KeyCode::Tab:
    case KeyCode::BackTab: {
        ModelWindow* before = model_.Focus();
        EnsureFocus(dialog);
        if (model_.Focus() == before) {
            MoveFocus(dialog, key.code == KeyCode::Tab);
        }
        return;
    }
    case KeyCode::Escape:
    case KeyCode::Interrupt:
        model_.UserCancel(&dialog);
        return;
    default:
        break;
    }
    EnsureFocus(dialog);
    ModelWindow* focus = model_.Focus();
    if (focus != nullptr && HandleControlKey(*focus, key)) {
        return;
    }
    if (key.code == KeyCode::Enter) {
        model_.UserEnter(&dialog);
    }
}

} // namespace ui
