// The dialog procedure of every dialog and page the Win32 window system creates: it turns
// the window messages into the framework's WindowEvents calls.
#pragma once

#include "toolkit/ui/window_system.h"

#include <windows.h>

namespace ui::win32 {

// What a dialog window knows of its framework object; handed over in WM_INITDIALOG's
// parameter and kept in the window's DWLP_USER slot until WM_NCDESTROY.
struct DialogBinding {
    WindowEvents* events = nullptr;
    const DialogTemplate* dialogTemplate = nullptr; // may be null
    HINSTANCE module = nullptr;    // the module whose resources hold the dialog and its init list
    HWND tabControl = nullptr;     // a page: the tab control it sits on
    bool deleteWithWindow = false; // a page's binding is the window's
    bool* attached = nullptr;      // set to true when the window takes the binding over
};

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The binding of a dialog or page made with DialogProcedure; null for any other window.
DialogBinding* BindingOf(HWND window);

} // namespace ui::win32
