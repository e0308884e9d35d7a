#include "toolkit/ui/headless/headless_window_system.h"

namespace ui {

HeadlessWindowSystem::HeadlessWindowSystem() = default;
HeadlessWindowSystem::~HeadlessWindowSystem() = default;

// --- the script ------------------------------------------------------------------------

void HeadlessWindowSystem::Then(Step step) {
    steps_.push_back(std::move(step));
}

void HeadlessWindowSystem::AnswerNextMessageBox(int answer) {
    answers_.push_back(answer);
}

size_t HeadlessWindowSystem::StepsLeft() const {
    return steps_.size();
}

bool HeadlessWindowSystem::RanOutOfSteps() const {
    return ranOut_;
}

// --- the modal loop --------------------------------------------------------------------

intptr_t HeadlessWindowSystem::RunModal(WindowEvents& events, const FoundDialog& dialog,
                                        WindowHandle /*owner*/) {
    ModelWindow* window = model_.OpenDialog(events, dialog);
    if (window == nullptr) {
        return -1;
    }
    while (!window->ended) {
        if (steps_.empty()) {
            // Nothing more to do: cancel as a user would, and close it if it stays open.
            ranOut_ = true;
            model_.UserCancel(window);
            if (!window->ended) {
                model_.EndModal(window, kIdCancel);
            }
            break;
        }
        Step step = std::move(steps_.front());
        steps_.pop_front();
        step(*this);
    }
    return model_.CloseDialog(window);
}

// --- what the user does ----------------------------------------------------------------

namespace {

ModelWindow* Usable(const WindowModel& model, int controlId, ControlKind kind) {
    ModelWindow* control = model.FindControl(model.ActiveDialog(), controlId);
    if (!WindowModel::IsUsable(control) || control->kind != kind) {
        return nullptr;
    }
    return control;
}

ModelTreeItem* ItemByText(const ModelWindow* tree, const std::string& text) {
    for (ModelTreeItem* item : WindowModel::TreeItemsInOrder(tree, false)) {
        if (item->text == text) {
            return item;
        }
    }
    return nullptr;
}

} // namespace

bool HeadlessWindowSystem::Click(int controlId) {
    return model_.UserClick(model_.FindControl(model_.ActiveDialog(), controlId));
}

bool HeadlessWindowSystem::Type(int controlId, const std::string& text) {
    return model_.UserType(model_.FindControl(model_.ActiveDialog(), controlId), text);
}

bool HeadlessWindowSystem::Choose(int controlId, int index) {
    return model_.UserChoose(model_.FindControl(model_.ActiveDialog(), controlId), index);
}

bool HeadlessWindowSystem::SelectTreeItem(int controlId, const std::string& text) {
    ModelWindow* tree = Usable(model_, controlId, ControlKind::TreeView);
    ModelTreeItem* item = tree != nullptr ? ItemByText(tree, text) : nullptr;
    return item != nullptr && model_.UserSelectTreeItem(tree, item);
}

bool HeadlessWindowSystem::ClearTreeSelection(int controlId) {
    ModelWindow* tree = Usable(model_, controlId, ControlKind::TreeView);
    return tree != nullptr && model_.UserSelectTreeItem(tree, nullptr);
}

bool HeadlessWindowSystem::DoubleClickTreeItem(int controlId, const std::string& text) {
    ModelWindow* tree = Usable(model_, controlId, ControlKind::TreeView);
    ModelTreeItem* item = tree != nullptr ? ItemByText(tree, text) : nullptr;
    return item != nullptr && model_.UserDoubleClickTree(tree, item);
}

bool HeadlessWindowSystem::DoubleClickTreeBackground(int controlId) {
    ModelWindow* tree = Usable(model_, controlId, ControlKind::TreeView);
    return tree != nullptr && model_.UserDoubleClickTree(tree, nullptr);
}

bool HeadlessWindowSystem::SwitchTab(int tabControlId, int index) {
    return model_.UserSwitchTab(model_.FindControl(model_.ActiveDialog(), tabControlId), index);
}

bool HeadlessWindowSystem::Spin(int upDownId, int delta) {
    return model_.UserSpin(model_.FindControl(model_.ActiveDialog(), upDownId), delta);
}

bool HeadlessWindowSystem::PressEnter() {
    return model_.UserEnter(model_.ActiveDialog());
}

bool HeadlessWindowSystem::PressEscape() {
    return model_.UserCancel(model_.ActiveDialog());
}

bool HeadlessWindowSystem::PressCloseBox() {
    return model_.UserCancel(model_.ActiveDialog());
}

// --- what the user sees ----------------------------------------------------------------

int HeadlessWindowSystem::ModalDepth() const {
    return model_.ModalDepth();
}

int HeadlessWindowSystem::ActiveTemplateId() const {
    const ModelWindow* dialog = model_.ActiveDialog();
    return dialog != nullptr ? dialog->id : 0;
}

std::string HeadlessWindowSystem::ActiveCaption() const {
    const ModelWindow* dialog = model_.ActiveDialog();
    return dialog != nullptr ? dialog->text : std::string();
}

bool HeadlessWindowSystem::HasControl(int controlId) const {
    return model_.FindControl(model_.ActiveDialog(), controlId) != nullptr;
}

std::string HeadlessWindowSystem::ControlText(int controlId) const {
    const ModelWindow* control = model_.FindControl(model_.ActiveDialog(), controlId);
    return control != nullptr ? control->text : std::string();
}

bool HeadlessWindowSystem::ControlEnabled(int controlId) const {
    const ModelWindow* control = model_.FindControl(model_.ActiveDialog(), controlId);
    return control != nullptr && control->enabled;
}

bool HeadlessWindowSystem::ControlVisible(int controlId) const {
    const ModelWindow* control = model_.FindControl(model_.ActiveDialog(), controlId);
    return control != nullptr && WindowModel::ReallyVisible(control);
}

int HeadlessWindowSystem::ControlCheck(int controlId) const {
    const ModelWindow* control = model_.FindControl(model_.ActiveDialog(), controlId);
    return control != nullptr ? control->check : 0;
}

int HeadlessWindowSystem::ControlCurSel(int controlId) const {
    const ModelWindow* control = model_.FindControl(model_.ActiveDialog(), controlId);
    return control != nullptr ? control->curSel : -1;
}

std::vector<std::string> HeadlessWindowSystem::ControlItems(int controlId) const {
    const ModelWindow* control = model_.FindControl(model_.ActiveDialog(), controlId);
    return control != nullptr ? control->items : std::vector<std::string>{};
}

std::vector<HeadlessWindowSystem::TreeItemView>
HeadlessWindowSystem::TreeItems(int controlId) const {
    std::vector<TreeItemView> views;
    const ModelWindow* tree = model_.FindControl(model_.ActiveDialog(), controlId);
    if (tree == nullptr) {
        return views;
    }
    for (const ModelTreeItem* item : WindowModel::TreeItemsInOrder(tree, false)) {
        TreeItemView view;
        view.text = item->text;
        view.image = item->image;
        view.selectedImage = item->selectedImage;
        view.depth = WindowModel::Depth(item);
        view.selected = item == tree->treeSelected;
        view.expanded = item->expanded;
        view.data = item->data;
        views.push_back(view);
    }
    return views;
}

int HeadlessWindowSystem::FocusedControlId() const {
    const ModelWindow* focus = model_.Focus();
    return focus != nullptr && focus->type == ModelWindowType::Control ? focus->id : 0;
}

bool HeadlessWindowSystem::FocusedTextSelected() const {
    const ModelWindow* focus = model_.Focus();
    return focus != nullptr && focus->kind == ControlKind::Edit && focus->textSelected;
}

int HeadlessWindowSystem::TabCurSel(int tabControlId) const {
    const ModelWindow* tab = model_.FindControl(model_.ActiveDialog(), tabControlId);
    return tab != nullptr ? tab->curTab : -1;
}

std::vector<std::string> HeadlessWindowSystem::TabTitles(int tabControlId) const {
    const ModelWindow* tab = model_.FindControl(model_.ActiveDialog(), tabControlId);
    return tab != nullptr ? tab->tabs : std::vector<std::string>{};
}

const std::vector<HeadlessWindowSystem::MessageBoxRecord>&
HeadlessWindowSystem::MessageBoxes() const {
    return boxes_;
}

int HeadlessWindowSystem::MessageBox(WindowHandle /*owner*/, const std::string& text,
                                     const std::string& caption, unsigned flags) {
    MessageBoxRecord record;
    record.text = text;
    record.caption = caption;
    record.flags = flags;
    if (answers_.empty()) {
        record.answer = kIdCancel;
        record.scripted = false;
    } else {
        record.answer = answers_.front();
        answers_.pop_front();
    }
    boxes_.push_back(record);
    return record.answer;
}

} // namespace ui
