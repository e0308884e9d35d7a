// The window system of the Windows build: real dialogs from the module's dialog resources,
// with the common controls (tab, tree with image list, up-down) and the system's message
// box. Texts cross as CP949 and are shown as UTF-16 through the W functions.
#pragma once

// <windows.h>, when included first, would rename the MessageBox member.
#ifdef MessageBox
#undef MessageBox
#endif

#include "platform/export.h"
#include "toolkit/ui/window_system.h"

namespace ui {

class TOOLKIT_API Win32WindowSystem : public WindowSystem {
public:
    Win32WindowSystem();
    ~Win32WindowSystem() override;

    intptr_t RunModal(WindowEvents& events, const FoundDialog& dialog, WindowHandle owner) override;
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

    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned flags) override;
};

} // namespace ui
