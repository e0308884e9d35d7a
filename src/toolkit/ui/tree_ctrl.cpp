#include "toolkit/ui/tree_ctrl.h"

#include "toolkit/ui/image_list.h"

ui::TreeItemHandle CTreeCtrl::InsertItem(const std::string& text, int image, int selectedImage,
                                         ui::TreeItemHandle parent) {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->InsertItem(m_hWnd, text, image, selectedImage, parent)
                             : nullptr;
}

bool CTreeCtrl::DeleteItem(ui::TreeItemHandle item) {
    ui::WindowSystem* system = System();
    return system != nullptr && item != nullptr && system->DeleteItem(m_hWnd, item);
}

bool CTreeCtrl::DeleteAllItems() {
    ui::WindowSystem* system = System();
    return system != nullptr && system->DeleteAllItems(m_hWnd);
}

void CTreeCtrl::SetItemText(ui::TreeItemHandle item, const std::string& text) {
    if (ui::WindowSystem* system = System(); system != nullptr && item != nullptr) {
        system->SetItemText(m_hWnd, item, text);
    }
}

std::string CTreeCtrl::GetItemText(ui::TreeItemHandle item) const {
    ui::WindowSystem* system = System();
    return system != nullptr && item != nullptr ? system->GetItemText(m_hWnd, item) : std::string();
}

void CTreeCtrl::SetItemData(ui::TreeItemHandle item, uintptr_t data) {
    if (ui::WindowSystem* system = System(); system != nullptr && item != nullptr) {
        system->SetItemData(m_hWnd, item, data);
    }
}

uintptr_t CTreeCtrl::GetItemData(ui::TreeItemHandle item) const {
    ui::WindowSystem* system = System();
    return system != nullptr && item != nullptr ? system->GetItemData(m_hWnd, item) : 0;
}

bool CTreeCtrl::GetItemImage(ui::TreeItemHandle item, int& image, int& selectedImage) const {
    ui::WindowSystem* system = System();
    return system != nullptr && item != nullptr &&
           system->GetItemImage(m_hWnd, item, image, selectedImage);
}

ui::TreeItemHandle CTreeCtrl::GetSelectedItem() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetSelectedItem(m_hWnd) : nullptr;
}

bool CTreeCtrl::SelectItem(ui::TreeItemHandle item) {
    ui::WindowSystem* system = System();
    return system != nullptr && system->SelectItem(m_hWnd, item);
}

bool CTreeCtrl::Expand(ui::TreeItemHandle item) {
    ui::WindowSystem* system = System();
    return system != nullptr && item != nullptr && system->Expand(m_hWnd, item);
}

ui::TreeItemHandle CTreeCtrl::GetRootItem() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetRootItem(m_hWnd) : nullptr;
}

ui::TreeItemHandle CTreeCtrl::GetChildItem(ui::TreeItemHandle item) const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetChildItem(m_hWnd, item) : nullptr;
}

ui::TreeItemHandle CTreeCtrl::GetNextSiblingItem(ui::TreeItemHandle item) const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetNextSiblingItem(m_hWnd, item) : nullptr;
}

void CTreeCtrl::SetImageList(const CImageList& images) {
    if (ui::WindowSystem* system = System()) {
        system->SetImageList(m_hWnd, images.GetSafeHandle());
    }
}
