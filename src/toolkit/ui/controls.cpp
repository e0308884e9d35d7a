#include "toolkit/ui/controls.h"

int CButton::GetCheck() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetCheck(m_hWnd) : 0;
}

void CButton::SetCheck(int check) {
    if (ui::WindowSystem* system = System()) {
        system->SetCheck(m_hWnd, check);
    }
}

int CComboBox::AddString(const std::string& text) {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->AddString(m_hWnd, text) : -1;
}

int CComboBox::GetCount() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetCount(m_hWnd) : 0;
}

int CComboBox::GetCurSel() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetCurSel(m_hWnd) : -1;
}

int CComboBox::SetCurSel(int index) {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->SetCurSel(m_hWnd, index) : -1;
}

std::string CComboBox::GetLBText(int index) const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetItemText(m_hWnd, index) : std::string();
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
    if (ui::WindowSystem* system = System()) {
        system->SetRange(m_hWnd, lower, upper);
    }
}

int CTabCtrl::InsertItem(int index, const std::string& title) {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->InsertTab(m_hWnd, index, title) : -1;
}

int CTabCtrl::GetItemCount() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetTabCount(m_hWnd) : 0;
}

int CTabCtrl::GetCurSel() const {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->GetCurTab(m_hWnd) : -1;
}

int CTabCtrl::SetCurSel(int index) {
    ui::WindowSystem* system = System();
    return system != nullptr ? system->SetCurTab(m_hWnd, index) : -1;
}
