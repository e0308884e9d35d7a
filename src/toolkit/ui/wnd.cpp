#include "toolkit/ui/wnd.h"

CWnd::~CWnd() = default;

ui::WindowSystem* CWnd::System() const {
    return m_hWnd != nullptr ? ui::CurrentWindowSystem() : nullptr;
}

ui::WindowHandle CWnd::Detach() {
    ui::WindowHandle window = m_hWnd;
    m_hWnd = nullptr;
    return window;
}

void CWnd::EnableWindow(bool enable) {
    if (ui::WindowSystem* system = System()) {
        system->Enable(m_hWnd, enable);
    }
}

bool CWnd::IsWindowEnabled() const {
    ui::WindowSystem* system = System();
    return system != nullptr && system->IsEnabled(m_hWnd);
}

void CWnd::ShowWindow(bool shown) {
    if (ui::WindowSystem* system = System()) {
        system->Show(m_hWnd, shown);
    }
}

bool CWnd::IsWindowVisible() const {
    ui::WindowSystem* system = System();
    return system != nullptr && system->IsVisible(m_hWnd);
}

void CWnd::SetWindowText(const std::string& text) {
    if (ui::WindowSystem* system = System()) {
        system->SetText(m_hWnd, text);
    }
}

std::string CWnd::GetWindowText() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetText(m_hWnd) : std::string();
}

void CWnd::SetFocus() {
    if (ui::WindowSystem* system = System()) {
        system->SetFocus(m_hWnd);
    }
}

void CWnd::SetRedraw(bool redraw) {
    if (ui::WindowSystem* system = System()) {
        system->SetRedraw(m_hWnd, redraw);
    }
}

int CWnd::GetDlgCtrlID() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetControlId(m_hWnd) : 0;
}

ui::WindowHandle CWnd::GetDlgItem(int controlId) const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetControl(m_hWnd, controlId) : nullptr;
}

bool CWnd::OnChildNotify(const ui::Event&, intptr_t&) {
    return false;
}
