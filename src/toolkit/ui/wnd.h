// The framework's window object: a window system handle and the operations every window
// has, forwarded to the current window system. A CWnd without a handle (or without a window
// system) does nothing and answers with empty values.
#pragma once

#include "platform/export.h"
#include "toolkit/object.h"
#include "toolkit/ui/window_system.h"

#include <cstdint>
#include <string>

class TOOLKIT_API CWnd : public CObject {
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    ui::WindowHandle GetSafeHwnd() const { return m_hWnd; }
    void Attach(ui::WindowHandle window) { m_hWnd = window; }
    ui::WindowHandle Detach();

    void EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    void ShowWindow(bool shown);
    bool IsWindowVisible() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetFocus();
    void SetRedraw(bool redraw);
    int GetDlgCtrlID() const;
    // A control of this dialog or page, or null.
    ui::WindowHandle GetDlgItem(int controlId) const;

    // A notification of this control that its parent offers it first (reflection); true
    // when the control handled it, with the notification's result in `result`.
    virtual bool OnChildNotify(const ui::Event& event, intptr_t& result);

    ui::WindowHandle m_hWnd = nullptr;

protected:
    // The window system to forward to, or null when there is nothing to forward to.
    ui::WindowSystem* System() const;
};
