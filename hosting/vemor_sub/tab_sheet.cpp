// The settings dialog's tab sheet: one page window per tab, only the active one shown.
#include "host/vemor_sub.h"
#include "toolkit/ui/property_page.h"

CTabSheet::CTabSheet() = default;

// The pages belong to the dialog; their windows go with the dialog's window.
CTabSheet::~CTabSheet() = default;

void CTabSheet::AddPage(CPropertyPage* page) {
    if (page == nullptr || m_hWnd == nullptr) {
        return;
    }
    InsertItem(GetPageCount(), page->GetTitle());
    m_pages.push_back(page);
    page->Create(m_hWnd);
}

bool CTabSheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) {
        return false;
    }
    SetCurSel(index);
    ShowActivePage();
    return true;
}

// The others are hidden first, so the page shown last is the one that sets the dialog's
// buttons.
void CTabSheet::ShowActivePage() {
    const int active = GetCurSel();
    for (int index = 0; index < GetPageCount(); ++index) {
        if (index != active) {
            m_pages[static_cast<size_t>(index)]->ShowWindow(false);
        }
    }
    if (active >= 0 && active < GetPageCount()) {
        m_pages[static_cast<size_t>(active)]->ShowWindow(true);
    }
}

bool CTabSheet::OnChildNotify(const ui::Event& event, intptr_t& result) {
    if (event.kind != ui::EventKind::Notify || event.code != ui::EventCode::TabSelChange) {
        return false;
    }
    ShowActivePage();
    result = 0;
    return true;
}
