// The framework's tree view control, bound to a dialog's tree (DDX_Control).
#pragma once

#include "platform/export.h"
#include "toolkit/ui/wnd.h"

#include <cstdint>
#include <string>

class CImageList;

class TOOLKIT_API CTreeCtrl : public CWnd {
public:
    // parent null: a top-level item; the new item goes last among its siblings.
    ui::TreeItemHandle InsertItem(const std::string& text, int image, int selectedImage,
                                  ui::TreeItemHandle parent);
    bool DeleteItem(ui::TreeItemHandle item);
    bool DeleteAllItems();
    void SetItemText(ui::TreeItemHandle item, const std::string& text);
    std::string GetItemText(ui::TreeItemHandle item) const;
    void SetItemData(ui::TreeItemHandle item, uintptr_t data);
    uintptr_t GetItemData(ui::TreeItemHandle item) const;
    bool GetItemImage(ui::TreeItemHandle item, int& image, int& selectedImage) const;
    ui::TreeItemHandle GetSelectedItem() const;
    bool SelectItem(ui::TreeItemHandle item);
    bool Expand(ui::TreeItemHandle item);
    ui::TreeItemHandle GetRootItem() const;
    ui::TreeItemHandle GetChildItem(ui::TreeItemHandle item) const;
    ui::TreeItemHandle GetNextSiblingItem(ui::TreeItemHandle item) const;
    void SetImageList(const CImageList& images);
};
