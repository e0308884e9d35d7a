#include "toolkit/ui/win32/dialog_procedure.h"

#include "toolkit/ui/dialog_init_list.h"
#include "toolkit/ui/win32/wide_text.h"

#include <commctrl.h>
#include <cwchar>
#include <optional>
#include <string_view>

namespace ui::win32 {
namespace {

bool HasClass(HWND control, const wchar_t* className) {
    wchar_t name[64] = {};
    return control != nullptr && GetClassNameW(control, name, 64) > 0 &&
           _wcsicmp(name, className) == 0;
}

// The resource type of the framework's dialog init lists.
constexpr WORD kDialogInitType = 240;

// The bytes of a resource of the module, or nothing.
std::string_view ResourceBytes(HINSTANCE module, int id, WORD type) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(type));
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return {};
    }
    return {static_cast<const char*>(bytes), SizeofResource(module, found)};
}

// A drop-down list's entries are there before the framework's initialisation runs: the
// dialog's init list in the module's resources puts them there.
void FillInitialLists(HWND dialog, HINSTANCE module, const DialogTemplate* dialogTemplate) {
    if (module == nullptr || dialogTemplate == nullptr) {
        return;
    }
    const std::string_view data = ResourceBytes(module, dialogTemplate->id, kDialogInitType);
    for (const DialogInitEntry& entry : ParseDialogInitList(data)) {
        if (entry.message == kDialogInitAddComboString) {
            const std::wstring text = WideFromCp949(entry.text);
            SendDlgItemMessageW(dialog, entry.controlId, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text.c_str()));
        }
    }
}

std::optional<Event> CommandEvent(WPARAM wParam, LPARAM lParam) {
    Event event;
    event.kind = EventKind::Command;
    event.controlId = LOWORD(wParam);
    const HWND control = reinterpret_cast<HWND>(lParam);
    const UINT code = HIWORD(wParam);
    if (code == BN_CLICKED) { // also Enter, Escape and the close box (no control)
        event.code = EventCode::Clicked;
    } else if (code == CBN_SELCHANGE && HasClass(control, WC_COMBOBOXW)) {
        event.code = EventCode::SelectionChange;
    } else if (code == EN_CHANGE && HasClass(control, WC_EDITW)) {
        event.code = EventCode::EditChange;
    } else {
        return std::nullopt;
    }
    return event;
}

HTREEITEM ItemUnderCursor(HWND tree) {
    TVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(tree, &hit.pt);
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

std::optional<Event> NotifyEvent(const NMHDR& header) {
    Event event;
    event.kind = EventKind::Notify;
    event.controlId = static_cast<int>(header.idFrom);
    switch (header.code) {
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA: { // both carry the items at the same places
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        event.code = EventCode::TreeSelChanged;
        event.item = change.itemNew.hItem;
        event.oldItem = change.itemOld.hItem;
        return event;
    }
    case NM_DBLCLK:
        if (!HasClass(header.hwndFrom, WC_TREEVIEWW)) {
            return std::nullopt;
        }
        event.code = EventCode::TreeDoubleClick;
        event.item = ItemUnderCursor(header.hwndFrom);
        return event;
    case TCN_SELCHANGING:
        event.code = EventCode::TabSelChanging;
        return event;
    case TCN_SELCHANGE:
        event.code = EventCode::TabSelChange;
        return event;
    default:
        return std::nullopt;
    }
}

// The up-down control reports a new position after it has changed it and its buddy's text
// (UDN_DELTAPOS comes before either changes).
std::optional<Event> UpDownEvent(WPARAM wParam, LPARAM lParam) {
    const HWND control = reinterpret_cast<HWND>(lParam);
    if (LOWORD(wParam) != SB_THUMBPOSITION || !HasClass(control, UPDOWN_CLASSW)) {
        return std::nullopt;
    }
    Event event;
    event.kind = EventKind::Notify;
    event.controlId = GetDlgCtrlID(control);
    event.code = EventCode::UpDownDelta;
    return event;
}

INT_PTR InitDialog(HWND window, DialogBinding* binding) {
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(binding));
    if (binding->attached != nullptr) {
        *binding->attached = true;
        binding->attached = nullptr;
    }
    FillInitialLists(window, binding->module, binding->dialogTemplate);
    // TRUE lets the dialog manager set the focus to the first tab stop.
    return binding->events->OnWindowInit(window) ? TRUE : FALSE;
}

void Destroyed(HWND window, DialogBinding* binding) {
    SetWindowLongPtrW(window, DWLP_USER, 0);
    binding->events->OnWindowDestroyed();
    if (binding->deleteWithWindow) {
        delete binding;
    }
}

INT_PTR Deliver(HWND window, DialogBinding* binding, const Event& event) {
    const intptr_t result = binding->events->OnWindowEvent(event);
    SetWindowLongPtrW(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
    return TRUE;
}

} // namespace

DialogBinding* BindingOf(HWND window) {
    // DWLP_USER exists only in dialog windows, and only ours keep a binding there.
    if (!HasClass(window, L"#32770") ||
        GetWindowLongPtrW(window, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(DialogProcedure)) {
        return nullptr;
    }
    return reinterpret_cast<DialogBinding*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        return InitDialog(window, reinterpret_cast<DialogBinding*>(lParam));
    }
    auto* binding = reinterpret_cast<DialogBinding*>(GetWindowLongPtrW(window, DWLP_USER));
    if (binding == nullptr) { // before WM_INITDIALOG, after WM_NCDESTROY
        return FALSE;
    }
    std::optional<Event> event;
    switch (message) {
    case WM_COMMAND:
        event = CommandEvent(wParam, lParam);
        break;
    case WM_NOTIFY:
        event = NotifyEvent(*reinterpret_cast<const NMHDR*>(lParam));
        break;
    case WM_VSCROLL:
    case WM_HSCROLL:
        event = UpDownEvent(wParam, lParam);
        break;
    case WM_SHOWWINDOW:
        if (lParam == 0) { // shown or hidden itself, not with its owner
            Event show;
            show.kind = EventKind::Show;
            show.shown = wParam != 0;
            binding->events->OnWindowEvent(show);
        }
        return FALSE; // the default processing goes on
    case WM_NCDESTROY:
        Destroyed(window, binding);
        return FALSE;
    default:
        return FALSE;
    }
    return event ? Deliver(window, binding, *event) : FALSE;
}

} // namespace ui::win32
