// Tree views of the window model: items inserted last among their siblings, deleted with
// their children, one selection.
#include "toolkit/ui/model/window_model.h"

#include <algorithm>

namespace ui {
namespace {

void CollectItems(const std::vector<std::unique_ptr<ModelTreeItem>>& items, bool onlyShown,
                  std::vector<ModelTreeItem*>& out) {
    for (const auto& item : items) {
        out.push_back(item.get());
        if (!onlyShown || item->expanded) {
            CollectItems(item->children, onlyShown, out);
        }
    }
}

bool Contains(const ModelTreeItem* ancestor, const ModelTreeItem* item) {
    for (; item != nullptr; item = item->parent) {
        if (item == ancestor) {
            return true;
        }
    }
    return false;
}

ModelTreeItem* NeighbourAfterDelete(const ModelWindow* tree, const ModelTreeItem* item) {
    const auto& siblings = item->parent != nullptr ? item->parent->children : tree->treeRoots;
    auto at = std::find_if(siblings.begin(), siblings.end(),
                           [item](const auto& entry) { return entry.get() == item; });
    if (at == siblings.end()) {
        return nullptr;
    }
    if (at + 1 != siblings.end()) {
        return (at + 1)->get();
    }
    if (item->parent != nullptr) {
        return item->parent;
    }
    return at != siblings.begin() ? (at - 1)->get() : nullptr;
}

} // namespace

ModelTreeItem* WindowModel::InsertItem(ModelWindow* tree, const std::string& text, int image,
                                       int selectedImage, ModelTreeItem* parent) {
    auto item = std::make_unique<ModelTreeItem>();
    item->text = text;
    item->image = image;
    item->selectedImage = selectedImage;
    item->parent = parent;
    ModelTreeItem* raw = item.get();
    tree->treeItems.insert(raw);
    (parent != nullptr ? parent->children : tree->treeRoots).push_back(std::move(item));
    return raw;
}

bool WindowModel::DeleteItem(ModelWindow* tree, ModelTreeItem* item) {
    if (item == nullptr) {
        return false;
    }
    if (Contains(item, tree->treeSelected)) {
        // The selection moves on as the common control moves it: to the next sibling, else
        // the parent, else the previous sibling (notified like any change of selection).
        SelectItem(tree, NeighbourAfterDelete(tree, item));
    }
    std::vector<ModelTreeItem*> gone;
    CollectItems(item->children, false, gone);
    gone.push_back(item);
    for (ModelTreeItem* entry : gone) {
        tree->treeItems.erase(entry);
    }
    auto& siblings = item->parent != nullptr ? item->parent->children : tree->treeRoots;
    std::erase_if(siblings, [item](const auto& entry) { return entry.get() == item; });
    return true;
}

bool WindowModel::DeleteAllItems(ModelWindow* tree) {
    if (tree->treeSelected != nullptr) {
        SelectItem(tree, nullptr);
    }
    tree->treeItems.clear();
    tree->treeRoots.clear();
    return true;
}

bool WindowModel::SelectItem(ModelWindow* tree, ModelTreeItem* item) {
    ModelTreeItem* old = tree->treeSelected;
    if (old == item) {
        return true;
    }
    tree->treeSelected = item;
    // The control makes a newly selected item visible.
    for (ModelTreeItem* parent = item != nullptr ? item->parent : nullptr; parent != nullptr;
         parent = parent->parent) {
        parent->expanded = true;
    }
    SendNotify(tree, EventCode::TreeSelChanged, item, old);
    return true;
}

std::vector<ModelTreeItem*> WindowModel::TreeItemsInOrder(const ModelWindow* tree, bool onlyShown) {
    std::vector<ModelTreeItem*> items;
    CollectItems(tree->treeRoots, onlyShown, items);
    return items;
}

int WindowModel::Depth(const ModelTreeItem* item) {
    int depth = 0;
    for (item = item->parent; item != nullptr; item = item->parent) {
        ++depth;
    }
    return depth;
}

} // namespace ui
