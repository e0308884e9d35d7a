#include "toolkit/ui/win32/win32_window_system.h"

#include "toolkit/ui/win32/dialog_procedure.h"
#include "toolkit/ui/win32/image_list.h"
#include "toolkit/ui/win32/wide_text.h"

#include <windows.h>

#include <commctrl.h>
#include <memory>
#include <mutex>
#include <vector>

#undef MessageBox // <windows.h> renames the member otherwise

namespace ui {
namespace {

HWND Hwnd(WindowHandle window) {
    return static_cast<HWND>(window);
}
HTREEITEM Item(TreeItemHandle item) {
    return static_cast<HTREEITEM>(item);
}

void InitCommonControlsOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    });
}

LPARAM TextParam(const std::wstring& text) {
    return reinterpret_cast<LPARAM>(text.c_str());
}

bool HasDialogResource(const FoundDialog& dialog) {
    return dialog.dialog != nullptr &&
           FindResourceW(static_cast<HINSTANCE>(dialog.moduleHandle),
                         MAKEINTRESOURCEW(dialog.dialog->id),
                         MAKEINTRESOURCEW(5) /* RT_DIALOG */) != nullptr;
}

// The tab control's display area in its parent's client coordinates.
RECT DisplayArea(HWND tabControl) {
    RECT area = {};
    GetWindowRect(tabControl, &area);
    MapWindowPoints(HWND_DESKTOP, GetParent(tabControl), reinterpret_cast<POINT*>(&area), 2);
    SendMessageW(tabControl, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    return area;
}

void PlacePage(HWND page, HWND tabControl) {
    const RECT area = DisplayArea(tabControl);
    // Above the tab control, which leaves the page's area alone when it paints.
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

// The display area changes with the tabs' row: every page on the control follows it.
void PlacePagesOf(HWND tabControl) {
    // Collected first: placing a page changes the order of the siblings.
    std::vector<HWND> pages;
    for (HWND child = GetWindow(GetParent(tabControl), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const win32::DialogBinding* binding = win32::BindingOf(child);
        if (binding != nullptr && binding->tabControl == tabControl) {
            pages.push_back(child);
        }
    }
    for (HWND page : pages) {
        PlacePage(page, tabControl);
    }
}

std::wstring TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool GetTreeItem(HWND tree, TVITEMW& item) {
    return SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

bool SetTreeItem(HWND tree, TVITEMW& item) {
    return SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != FALSE;
}

TreeItemHandle NextItem(WindowHandle tree, TreeItemHandle item, WPARAM relation) {
    return reinterpret_cast<TreeItemHandle>(
        SendMessageW(Hwnd(tree), TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

} // namespace

Win32WindowSystem::Win32WindowSystem() = default;
Win32WindowSystem::~Win32WindowSystem() = default;

// --- windows -------------------------------------------------------------------------------

intptr_t Win32WindowSystem::RunModal(WindowEvents& events, const FoundDialog& dialog,
                                     WindowHandle owner) {
    if (!HasDialogResource(dialog)) {
        return -1;
    }
    InitCommonControlsOnce();
    // The window owns nothing here: the binding outlives the dialog, which is gone when
    // DialogBoxParamW returns.
    win32::DialogBinding binding;
    binding.events = &events;
    binding.dialogTemplate = dialog.dialog;
    binding.module = static_cast<HINSTANCE>(dialog.moduleHandle);
    HWND ownerWindow = owner != nullptr ? Hwnd(owner) : GetActiveWindow();
    return DialogBoxParamW(static_cast<HINSTANCE>(dialog.moduleHandle),
                           MAKEINTRESOURCEW(dialog.dialog->id), ownerWindow, win32::DialogProcedure,
                           reinterpret_cast<LPARAM>(&binding));
}

void Win32WindowSystem::EndModal(WindowHandle dialog, intptr_t code) {
    EndDialog(Hwnd(dialog), code);
}

WindowHandle Win32WindowSystem::CreatePage(WindowEvents& events, const FoundDialog& page,
                                           WindowHandle tabControl) {
    HWND tab = Hwnd(tabControl);
    if (tab == nullptr || !HasDialogResource(page)) {
        return nullptr;
    }
    InitCommonControlsOnce();
    auto binding = std::make_unique<win32::DialogBinding>();
    binding->events = &events;
    binding->dialogTemplate = page.dialog;
    binding->module = static_cast<HINSTANCE>(page.moduleHandle);
    binding->tabControl = tab;
    binding->deleteWithWindow = true;
    bool attached = false;
    binding->attached = &attached;
    HWND window = CreateDialogParamW(
        static_cast<HINSTANCE>(page.moduleHandle), MAKEINTRESOURCEW(page.dialog->id),
        GetParent(tab), win32::DialogProcedure, reinterpret_cast<LPARAM>(binding.get()));
    if (attached) {
        binding.release(); // the window deletes it at WM_NCDESTROY
    }
    if (window == nullptr) {
        return nullptr;
    }
    // The caption of a page's template is its tab's title, not a title bar; tab and arrow
    // keys reach the page's controls from the dialog; the tab control does not paint over
    // the page.
    SetWindowLongPtrW(window, GWL_STYLE, GetWindowLongPtrW(window, GWL_STYLE) & ~WS_CAPTION);
    SetWindowLongPtrW(window, GWL_EXSTYLE,
                      GetWindowLongPtrW(window, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    SetWindowLongPtrW(tab, GWL_STYLE, GetWindowLongPtrW(tab, GWL_STYLE) | WS_CLIPSIBLINGS);
    PlacePage(window, tab);
    return window;
}

void Win32WindowSystem::DestroyWindow(WindowHandle window) {
    ::DestroyWindow(Hwnd(window));
}

WindowHandle Win32WindowSystem::GetControl(WindowHandle dialog, int controlId) {
    return dialog != nullptr ? GetDlgItem(Hwnd(dialog), controlId) : nullptr;
}

int Win32WindowSystem::GetControlId(WindowHandle control) {
    return GetDlgCtrlID(Hwnd(control));
}

// --- any window ----------------------------------------------------------------------------

void Win32WindowSystem::Enable(WindowHandle window, bool enabled) {
    EnableWindow(Hwnd(window), enabled ? TRUE : FALSE);
}

bool Win32WindowSystem::IsEnabled(WindowHandle window) {
    return IsWindowEnabled(Hwnd(window)) != FALSE;
}

void Win32WindowSystem::Show(WindowHandle window, bool shown) {
    ShowWindow(Hwnd(window), shown ? SW_SHOW : SW_HIDE);
}

bool Win32WindowSystem::IsVisible(WindowHandle window) {
    return window != nullptr && (GetWindowLongPtrW(Hwnd(window), GWL_STYLE) & WS_VISIBLE) != 0;
}

void Win32WindowSystem::SetText(WindowHandle window, const std::string& text) {
    SetWindowTextW(Hwnd(window), win32::WideFromCp949(text).c_str());
}

std::string Win32WindowSystem::GetText(WindowHandle window) {
    return win32::Cp949FromWide(TextOf(Hwnd(window)));
}

void Win32WindowSystem::SetFocus(WindowHandle window) {
    ::SetFocus(Hwnd(window));
}

WindowHandle Win32WindowSystem::GetFocus() {
    return ::GetFocus();
}

void Win32WindowSystem::GotoControl(WindowHandle dialog, WindowHandle control) {
    // The dialog manager's move: an edit field gets its whole text selected.
    SendMessageW(Hwnd(dialog), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
}

// --- buttons -------------------------------------------------------------------------------

int Win32WindowSystem::GetCheck(WindowHandle button) {
    return SendMessageW(Hwnd(button), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void Win32WindowSystem::SetCheck(WindowHandle button, int check) {
    SendMessageW(Hwnd(button), BM_SETCHECK, check != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
}

// --- drop-down lists -----------------------------------------------------------------------

int Win32WindowSystem::AddString(WindowHandle list, const std::string& text) {
    const std::wstring wide = win32::WideFromCp949(text);
    return static_cast<int>(SendMessageW(Hwnd(list), CB_ADDSTRING, 0, TextParam(wide)));
}

int Win32WindowSystem::GetCount(WindowHandle list) {
    const LRESULT count = SendMessageW(Hwnd(list), CB_GETCOUNT, 0, 0);
    return count == CB_ERR ? 0 : static_cast<int>(count);
}

int Win32WindowSystem::GetCurSel(WindowHandle list) {
    return static_cast<int>(SendMessageW(Hwnd(list), CB_GETCURSEL, 0, 0));
}

int Win32WindowSystem::SetCurSel(WindowHandle list, int index) {
    // -1 or an index past the end clears the selection and answers CB_ERR (-1).
    return static_cast<int>(SendMessageW(Hwnd(list), CB_SETCURSEL, static_cast<WPARAM>(index), 0));
}

std::string Win32WindowSystem::GetItemText(WindowHandle list, int index) {
    const LRESULT length = SendMessageW(Hwnd(list), CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(Hwnd(list), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return win32::Cp949FromWide(text);
}

// --- up-down -------------------------------------------------------------------------------

void Win32WindowSystem::SetRange(WindowHandle upDown, int lower, int upper) {
    SendMessageW(Hwnd(upDown), UDM_SETRANGE32, static_cast<WPARAM>(lower), upper);
}

// --- tree views ----------------------------------------------------------------------------

TreeItemHandle Win32WindowSystem::InsertItem(WindowHandle tree, const std::string& text, int image,
                                             int selectedImage, TreeItemHandle parent) {
    std::wstring wide = win32::WideFromCp949(text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent != nullptr ? Item(parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = wide.data();
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = 0;
    return reinterpret_cast<TreeItemHandle>(
        SendMessageW(Hwnd(tree), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool Win32WindowSystem::DeleteItem(WindowHandle tree, TreeItemHandle item) {
    return item != nullptr &&
           SendMessageW(Hwnd(tree), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != FALSE;
}

bool Win32WindowSystem::DeleteAllItems(WindowHandle tree) {
    return SendMessageW(Hwnd(tree), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)) != FALSE;
}

void Win32WindowSystem::SetItemText(WindowHandle tree, TreeItemHandle item,
                                    const std::string& text) {
    std::wstring wide = win32::WideFromCp949(text);
    TVITEMW change = {};
    change.mask = TVIF_TEXT;
    change.hItem = Item(item);
    change.pszText = wide.data();
    SetTreeItem(Hwnd(tree), change);
}

std::string Win32WindowSystem::GetItemText(WindowHandle tree, TreeItemHandle item) {
    std::vector<wchar_t> buffer(1024, L'\0');
    TVITEMW query = {};
    query.mask = TVIF_TEXT;
    query.hItem = Item(item);
    query.pszText = buffer.data();
    query.cchTextMax = static_cast<int>(buffer.size());
    if (item == nullptr || !GetTreeItem(Hwnd(tree), query)) {
        return {};
    }
    // The control may answer with a pointer of its own instead of filling the buffer.
    return win32::Cp949FromWide(query.pszText != nullptr ? query.pszText : L"");
}

void Win32WindowSystem::SetItemData(WindowHandle tree, TreeItemHandle item, uintptr_t data) {
    TVITEMW change = {};
    change.mask = TVIF_PARAM;
    change.hItem = Item(item);
    change.lParam = static_cast<LPARAM>(data);
    SetTreeItem(Hwnd(tree), change);
}

uintptr_t Win32WindowSystem::GetItemData(WindowHandle tree, TreeItemHandle item) {
    TVITEMW query = {};
    query.mask = TVIF_PARAM;
    query.hItem = Item(item);
    return item != nullptr && GetTreeItem(Hwnd(tree), query) ? static_cast<uintptr_t>(query.lParam)
                                                             : 0;
}

bool Win32WindowSystem::GetItemImage(WindowHandle tree, TreeItemHandle item, int& image,
                                     int& selectedImage) {
    TVITEMW query = {};
    query.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    query.hItem = Item(item);
    if (item == nullptr || !GetTreeItem(Hwnd(tree), query)) {
        return false;
    }
    image = query.iImage;
    selectedImage = query.iSelectedImage;
    return true;
}

TreeItemHandle Win32WindowSystem::GetSelectedItem(WindowHandle tree) {
    return NextItem(tree, nullptr, TVGN_CARET);
}

bool Win32WindowSystem::SelectItem(WindowHandle tree, TreeItemHandle item) {
    // Sends TVN_SELCHANGED to the page when the selection changes.
    return SendMessageW(Hwnd(tree), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) !=
           FALSE;
}

bool Win32WindowSystem::Expand(WindowHandle tree, TreeItemHandle item) {
    return SendMessageW(Hwnd(tree), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)) !=
           FALSE;
}

TreeItemHandle Win32WindowSystem::GetRootItem(WindowHandle tree) {
    return NextItem(tree, nullptr, TVGN_ROOT);
}

TreeItemHandle Win32WindowSystem::GetChildItem(WindowHandle tree, TreeItemHandle item) {
    return NextItem(tree, item, TVGN_CHILD);
}

TreeItemHandle Win32WindowSystem::GetNextSiblingItem(WindowHandle tree, TreeItemHandle item) {
    return NextItem(tree, item, TVGN_NEXT);
}

void Win32WindowSystem::SetRedraw(WindowHandle window, bool redraw) {
    SendMessageW(Hwnd(window), WM_SETREDRAW, redraw ? TRUE : FALSE, 0);
    if (redraw) {
        InvalidateRect(Hwnd(window), nullptr, TRUE);
    }
}

void Win32WindowSystem::SetImageList(WindowHandle tree, ImageListHandle images) {
    SendMessageW(Hwnd(tree), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
}

// --- image lists ---------------------------------------------------------------------------

ImageListHandle Win32WindowSystem::CreateImageList(const FoundBitmap& bitmap, int imageWidth,
                                                   int grow, uint32_t maskColor) {
    InitCommonControlsOnce();
    return win32::ImageListFromBitmap(bitmap, imageWidth, grow, maskColor);
}

void Win32WindowSystem::SetImageListBackground(ImageListHandle images, uint32_t color) {
    ImageList_SetBkColor(static_cast<HIMAGELIST>(images), win32::ColorRefFromRgb(color));
}

int Win32WindowSystem::GetImageCount(ImageListHandle images) {
    return images != nullptr ? ImageList_GetImageCount(static_cast<HIMAGELIST>(images)) : 0;
}

void Win32WindowSystem::DestroyImageList(ImageListHandle images) {
    if (images != nullptr) {
        ImageList_Destroy(static_cast<HIMAGELIST>(images));
    }
}

uint32_t Win32WindowSystem::SystemWindowColor() {
    return win32::RgbFromColorRef(GetSysColor(COLOR_WINDOW));
}

// --- tab controls --------------------------------------------------------------------------

int Win32WindowSystem::InsertTab(WindowHandle tab, int index, const std::string& title) {
    std::wstring wide = win32::WideFromCp949(title);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = wide.data();
    const int inserted = static_cast<int>(
        SendMessageW(Hwnd(tab), TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item)));
    PlacePagesOf(Hwnd(tab));
    return inserted;
}

int Win32WindowSystem::GetTabCount(WindowHandle tab) {
    return static_cast<int>(SendMessageW(Hwnd(tab), TCM_GETITEMCOUNT, 0, 0));
}

int Win32WindowSystem::GetCurTab(WindowHandle tab) {
    return static_cast<int>(SendMessageW(Hwnd(tab), TCM_GETCURSEL, 0, 0));
}

int Win32WindowSystem::SetCurTab(WindowHandle tab, int index) {
    return static_cast<int>(SendMessageW(Hwnd(tab), TCM_SETCURSEL, index, 0));
}

// --- message boxes -------------------------------------------------------------------------

int Win32WindowSystem::MessageBox(WindowHandle owner, const std::string& text,
                                  const std::string& caption, unsigned flags) {
    const std::wstring wideText = win32::WideFromCp949(text);
    const std::wstring wideCaption = win32::WideFromCp949(caption);
    HWND ownerWindow = owner != nullptr ? Hwnd(owner) : GetActiveWindow();
    const int answer = MessageBoxW(ownerWindow, wideText.c_str(),
                                   caption.empty() ? nullptr : wideCaption.c_str(), flags);
    return answer != 0 ? answer : kIdCancel;
}

// --- the platform's default ----------------------------------------------------------------

WindowSystem* PlatformDefaultWindowSystem() {
    static Win32WindowSystem system;
    return &system;
}

} // namespace ui
