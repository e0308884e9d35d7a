// The window-state half of a window system over the window model: every WindowSystem
// operation except running modal loops and message boxes, which a concrete window system
// (headless, terminal) adds.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/model/window_model.h"
#include "toolkit/ui/window_system.h"

#include <memory>

namespace ui {

class TOOLKIT_API ModelWindowSystem : public WindowSystem {
public:
    ModelWindowSystem(); // over a model of its own
    explicit ModelWindowSystem(WindowModel& model) : model_(model) {}
    ~ModelWindowSystem() override;

    void EndModal(WindowHandle dialog, intptr_t code) override;
    WindowHandle CreatePage(WindowEvents& events, const FoundDialog& page,
                            WindowHandle tabControl) override;
    void DestroyWindow(WindowHandle window) override;
    WindowHandle GetControl(WindowHandle dialog, int controlId) override;
    int GetControlId(WindowHandle control) override;
    void Enable(WindowHandle window, bool enabled) override;
    bool IsEnabled(WindowHandle window) override;
    void Show(WindowHandle window, bool shown) override;
    bool IsVisible(WindowHandle window) override;
    void SetText(WindowHandle window, const std::string& text) override;
    std::string GetText(WindowHandle window) override;
    void SetFocus(WindowHandle window) override;
    WindowHandle GetFocus() override;
    void GotoControl(WindowHandle dialog, WindowHandle control) override;
    int GetCheck(WindowHandle button) override;
    void SetCheck(WindowHandle button, int check) override;
    int AddString(WindowHandle list, const std::string& text) override;
    int GetCount(WindowHandle list) override;
    int GetCurSel(WindowHandle list) override;
    int SetCurSel(WindowHandle list, int index) override;
    std::string GetItemText(WindowHandle list, int index) override;
    void SetRange(WindowHandle upDown, int lower, int upper) override;
    TreeItemHandle InsertItem(WindowHandle tree, const std::string& text, int image,
                              int selectedImage, TreeItemHandle parent) override;
    bool DeleteItem(WindowHandle tree, TreeItemHandle item) override;
    bool DeleteAllItems(WindowHandle tree) override;
    void SetItemText(WindowHandle tree, TreeItemHandle item, const std::string& text) override;
    std::string GetItemText(WindowHandle tree, TreeItemHandle item) override;
    void SetItemData(WindowHandle tree, TreeItemHandle item, uintptr_t data) override;
    uintptr_t GetItemData(WindowHandle tree, TreeItemHandle item) override;
    bool GetItemImage(WindowHandle tree, TreeItemHandle item, int& image,
                      int& selectedImage) override;
    TreeItemHandle GetSelectedItem(WindowHandle tree) override;
    bool SelectItem(WindowHandle tree, TreeItemHandle item) override;
    bool Expand(WindowHandle tree, TreeItemHandle item) override;
    TreeItemHandle GetRootItem(WindowHandle tree) override;
    TreeItemHandle GetChildItem(WindowHandle tree, TreeItemHandle item) override;
    TreeItemHandle GetNextSiblingItem(WindowHandle tree, TreeItemHandle item) override;
    void SetRedraw(WindowHandle window, bool redraw) override;
    void SetImageList(WindowHandle tree, ImageListHandle images) override;
    ImageListHandle CreateImageList(const FoundBitmap& bitmap, int imageWidth, int grow,
                                    uint32_t maskColor) override;
    void SetImageListBackground(ImageListHandle images, uint32_t color) override;
    int GetImageCount(ImageListHandle images) override;
    void DestroyImageList(ImageListHandle images) override;
    uint32_t SystemWindowColor() override;
    int InsertTab(WindowHandle tab, int index, const std::string& title) override;
    int GetTabCount(WindowHandle tab) override;
    int GetCurTab(WindowHandle tab) override;
    int SetCurTab(WindowHandle tab, int index) override;

private:
    std::unique_ptr<WindowModel> ownModel_; // before model_, which may refer to it

protected:
    WindowModel& model_;

private:
    ModelWindow* ControlOfKind(WindowHandle handle, ControlKind kind) const;
};

} // namespace ui
