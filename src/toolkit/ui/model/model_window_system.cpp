#include "toolkit/ui/model/model_window_system.h"

namespace ui {

ModelWindowSystem::ModelWindowSystem()
    : ownModel_(std::make_unique<WindowModel>()), model_(*ownModel_) {}
ModelWindowSystem::~ModelWindowSystem() = default;

ModelWindow* ModelWindowSystem::ControlOfKind(WindowHandle handle, ControlKind kind) const {
    ModelWindow* window = model_.Window(handle);
    if (window == nullptr || window->type != ModelWindowType::Control || window->kind != kind) {
        return nullptr;
    }
    return window;
}

// --- windows ---------------------------------------------------------------------------

void ModelWindowSystem::EndModal(WindowHandle dialog, intptr_t code) {
    model_.EndModal(model_.Window(dialog), code);
}

WindowHandle ModelWindowSystem::CreatePage(WindowEvents& events, const FoundDialog& page,
                                           WindowHandle tabControl) {
    return model_.CreatePage(events, page, ControlOfKind(tabControl, ControlKind::TabControl));
}

void ModelWindowSystem::DestroyWindow(WindowHandle window) {
    ModelWindow* target = model_.Window(window);
    if (target != nullptr && target->type == ModelWindowType::Dialog) {
        model_.EndModal(target, kIdCancel); // a modal dialog goes when its loop ends
        return;
    }
    model_.Destroy(target);
}

WindowHandle ModelWindowSystem::GetControl(WindowHandle dialog, int controlId) {
    return model_.Control(dialog, controlId, ModelWindowType::Control);
}

int ModelWindowSystem::GetControlId(WindowHandle control) {
    ModelWindow* window = model_.Window(control);
    return window != nullptr && window->type == ModelWindowType::Control ? window->id : 0;
}

// --- any window ------------------------------------------------------------------------

void ModelWindowSystem::Enable(WindowHandle window, bool enabled) {
    if (ModelWindow* target = model_.Window(window)) {
        target->enabled = enabled;
    }
}

bool ModelWindowSystem::IsEnabled(WindowHandle window) {
    ModelWindow* target = model_.Window(window);
    return target != nullptr && target->enabled;
}

void ModelWindowSystem::Show(WindowHandle window, bool shown) {
    if (ModelWindow* target = model_.Window(window)) {
        model_.Show(target, shown);
    }
}

bool ModelWindowSystem::IsVisible(WindowHandle window) {
    ModelWindow* target = model_.Window(window);
    return target != nullptr && WindowModel::ReallyVisible(target);
}

void ModelWindowSystem::SetText(WindowHandle window, const std::string& text) {
    if (ModelWindow* target = model_.Window(window)) {
        model_.SetText(target, text);
    }
}

std::string ModelWindowSystem::GetText(WindowHandle window) {
    ModelWindow* target = model_.Window(window);
    return target != nullptr ? target->text : std::string();
}

void ModelWindowSystem::SetFocus(WindowHandle window) {
    if (ModelWindow* target = model_.Window(window)) {
        model_.SetFocus(target);
    }
}

WindowHandle ModelWindowSystem::GetFocus() {
    return model_.Focus();
}

void ModelWindowSystem::GotoControl(WindowHandle /*dialog*/, WindowHandle control) {
    ModelWindow* target = model_.Window(control);
    if (target != nullptr && target->type == ModelWindowType::Control) {
        model_.GotoControl(target);
    }
}

// --- buttons and lists -----------------------------------------------------------------

int ModelWindowSystem::GetCheck(WindowHandle button) {
    ModelWindow* target = model_.Window(button);
    return target != nullptr && target->type == ModelWindowType::Control ? target->check : 0;
}

void ModelWindowSystem::SetCheck(WindowHandle button, int check) {
    ModelWindow* target = model_.Window(button);
    if (target != nullptr && WindowModel::IsButton(target)) {
        model_.SetCheck(target, check);
    }
}

int ModelWindowSystem::AddString(WindowHandle list, const std::string& text) {
    ModelWindow* target = ControlOfKind(list, ControlKind::DropDownList);
    return target != nullptr ? model_.AddString(target, text) : -1;
}

int ModelWindowSystem::GetCount(WindowHandle list) {
    ModelWindow* target = ControlOfKind(list, ControlKind::DropDownList);
    return target != nullptr ? static_cast<int>(target->items.size()) : 0;
}

int ModelWindowSystem::GetCurSel(WindowHandle list) {
    ModelWindow* target = ControlOfKind(list, ControlKind::DropDownList);
    return target != nullptr ? target->curSel : -1;
}

int ModelWindowSystem::SetCurSel(WindowHandle list, int index) {
    ModelWindow* target = ControlOfKind(list, ControlKind::DropDownList);
    return target != nullptr ? model_.SetCurSel(target, index) : -1;
}

std::string ModelWindowSystem::GetItemText(WindowHandle list, int index) {
    ModelWindow* target = ControlOfKind(list, ControlKind::DropDownList);
    if (target == nullptr || index < 0 || index >= static_cast<int>(target->items.size())) {
        return std::string();
    }
    return target->items[static_cast<size_t>(index)];
}

void ModelWindowSystem::SetRange(WindowHandle upDown, int lower, int upper) {
    if (ModelWindow* target = ControlOfKind(upDown, ControlKind::UpDown)) {
        model_.SetRange(target, lower, upper);
    }
}

// --- trees -----------------------------------------------------------------------------

TreeItemHandle ModelWindowSystem::InsertItem(WindowHandle tree, const std::string& text, int image,
                                             int selectedImage, TreeItemHandle parent) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    if (target == nullptr) {
        return nullptr;
    }
    ModelTreeItem* under = model_.TreeItem(target, parent);
    if (parent != nullptr && under == nullptr) {
        return nullptr; // a parent that is not an item of this tree
    }
    return model_.InsertItem(target, text, image, selectedImage, under);
}

bool ModelWindowSystem::DeleteItem(WindowHandle tree, TreeItemHandle item) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    return target != nullptr && model_.DeleteItem(target, model_.TreeItem(target, item));
}

bool ModelWindowSystem::DeleteAllItems(WindowHandle tree) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    return target != nullptr && model_.DeleteAllItems(target);
}

void ModelWindowSystem::SetItemText(WindowHandle tree, TreeItemHandle item,
                                    const std::string& text) {
    if (ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item)) {
        entry->text = text;
    }
}

std::string ModelWindowSystem::GetItemText(WindowHandle tree, TreeItemHandle item) {
    ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item);
    return entry != nullptr ? entry->text : std::string();
}

void ModelWindowSystem::SetItemData(WindowHandle tree, TreeItemHandle item, uintptr_t data) {
    if (ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item)) {
        entry->data = data;
    }
}

uintptr_t ModelWindowSystem::GetItemData(WindowHandle tree, TreeItemHandle item) {
    ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item);
    return entry != nullptr ? entry->data : 0;
}

bool ModelWindowSystem::GetItemImage(WindowHandle tree, TreeItemHandle item, int& image,
                                     int& selectedImage) {
    ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item);
    if (entry == nullptr) {
        return false;
    }
    image = entry->image;
    selectedImage = entry->selectedImage;
    return true;
}

TreeItemHandle ModelWindowSystem::GetSelectedItem(WindowHandle tree) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    return target != nullptr ? target->treeSelected : nullptr;
}

bool ModelWindowSystem::SelectItem(WindowHandle tree, TreeItemHandle item) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    ModelTreeItem* entry = model_.TreeItem(target, item);
    if (target == nullptr || (item != nullptr && entry == nullptr)) {
        return false;
    }
    return model_.SelectItem(target, entry);
}

bool ModelWindowSystem::Expand(WindowHandle tree, TreeItemHandle item) {
    ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item);
    if (entry == nullptr) {
        return false;
    }
    entry->expanded = true;
    return true;
}

TreeItemHandle ModelWindowSystem::GetRootItem(WindowHandle tree) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    return target != nullptr && !target->treeRoots.empty() ? target->treeRoots.front().get()
                                                           : nullptr;
}

TreeItemHandle ModelWindowSystem::GetChildItem(WindowHandle tree, TreeItemHandle item) {
    ModelTreeItem* entry = model_.TreeItem(ControlOfKind(tree, ControlKind::TreeView), item);
    return entry != nullptr && !entry->children.empty() ? entry->children.front().get() : nullptr;
}

TreeItemHandle ModelWindowSystem::GetNextSiblingItem(WindowHandle tree, TreeItemHandle item) {
    ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView);
    ModelTreeItem* entry = model_.TreeItem(target, item);
    if (entry == nullptr) {
        return nullptr;
    }
    const auto& siblings = entry->parent != nullptr ? entry->parent->children : target->treeRoots;
    for (size_t at = 0; at + 1 < siblings.size(); ++at) {
        if (siblings[at].get() == entry) {
            return siblings[at + 1].get();
        }
    }
    return nullptr;
}

void ModelWindowSystem::SetRedraw(WindowHandle window, bool redraw) {
    if (ModelWindow* target = model_.Window(window)) {
        target->redraw = redraw;
    }
}

void ModelWindowSystem::SetImageList(WindowHandle tree, ImageListHandle images) {
    if (ModelWindow* target = ControlOfKind(tree, ControlKind::TreeView)) {
        target->imageList = model_.ImageList(images);
    }
}

// --- image lists -----------------------------------------------------------------------

ImageListHandle ModelWindowSystem::CreateImageList(const FoundBitmap& bitmap, int imageWidth,
                                                   int /*grow*/, uint32_t maskColor) {
    return model_.CreateImageList(bitmap, imageWidth, maskColor);
}

void ModelWindowSystem::SetImageListBackground(ImageListHandle images, uint32_t color) {
    if (ModelImageList* list = model_.ImageList(images)) {
        list->background = color;
    }
}

int ModelWindowSystem::GetImageCount(ImageListHandle images) {
    ModelImageList* list = model_.ImageList(images);
    return list != nullptr ? list->count : 0;
}

void ModelWindowSystem::DestroyImageList(ImageListHandle images) {
    if (ModelImageList* list = model_.ImageList(images)) {
        model_.DestroyImageList(list);
    }
}

uint32_t ModelWindowSystem::SystemWindowColor() {
    return 0xFFFFFF;
}

// --- tab controls ----------------------------------------------------------------------

int ModelWindowSystem::InsertTab(WindowHandle tab, int index, const std::string& title) {
    ModelWindow* target = ControlOfKind(tab, ControlKind::TabControl);
    return target != nullptr ? model_.InsertTab(target, index, title) : -1;
}

int ModelWindowSystem::GetTabCount(WindowHandle tab) {
    ModelWindow* target = ControlOfKind(tab, ControlKind::TabControl);
    return target != nullptr ? static_cast<int>(target->tabs.size()) : 0;
}

int ModelWindowSystem::GetCurTab(WindowHandle tab) {
    ModelWindow* target = ControlOfKind(tab, ControlKind::TabControl);
    return target != nullptr ? target->curTab : -1;
}

int ModelWindowSystem::SetCurTab(WindowHandle tab, int index) {
    ModelWindow* target = ControlOfKind(tab, ControlKind::TabControl);
    return target != nullptr ? model_.SetCurTab(target, index) : -1;
}

} // namespace ui
