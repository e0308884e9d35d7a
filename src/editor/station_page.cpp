#include "editor/station_page.h"

#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "editor/settings_dialog.h"
#include "toolkit/ui/data_exchange.h"
#include "toolkit/ui/message_map.h"

IMPLEMENT_DYNCREATE(CStationPage, CObject)

CStationPage::CStationPage() : CPropertyPage(kTemplateId) {}

bool CStationPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    if (m_images.Create(kTreeBitmap, kImageWidth, 0, kMaskColor)) {
        if (ui::WindowSystem* system = ui::CurrentWindowSystem()) {
            m_images.SetBkColor(system->SystemWindowColor());
        }
        m_tree.SetImageList(m_images);
    }
    m_tree.SetRedraw(false);
    m_tree.DeleteAllItems();
    const CVfdaDrvDoc* document = m_owner != nullptr ? m_owner->Document() : nullptr;
    m_rootItem = m_tree.InsertItem(document != nullptr ? document->Title() : std::string(),
                                   kRootImage, kRootImage, nullptr);
    if (document != nullptr) {
        for (CStationInfo* station : document->Stations()) {
            InsertStationItem(station);
        }
    }
    m_tree.Expand(m_rootItem);
    m_tree.SetRedraw(true);
    return true;
}

void CStationPage::DoDataExchange(CDataExchange& exchange) {
    DDX_Control(exchange, kStationTree, m_tree);
}

bool CStationPage::OnEvent(const ui::Event& event, intptr_t& result) {
    using Map = ui::MessageMap<CStationPage>;
    static const Map map{
        Map::Show(&CStationPage::OnShowPage),
        Map::Notify(kStationTree, ui::EventCode::TreeSelChanged, &CStationPage::OnSelectionChanged),
        Map::Notify(kStationTree, ui::EventCode::TreeDoubleClick, &CStationPage::OnDoubleClick),
    };
    return map.Dispatch(*this, event, result) || CPropertyPage::OnEvent(event, result);
}

ui::TreeItemHandle CStationPage::InsertStationItem(CStationInfo* station) {
    ui::TreeItemHandle item =
        m_tree.InsertItem(station->FormatDisplayText(), kStationImage, kStationImage, m_rootItem);
    station->m_treeItem = item;
    m_tree.SetItemData(item, reinterpret_cast<uintptr_t>(station));
    return item;
}

CStationInfo* CStationPage::StationOf(ui::TreeItemHandle item) const {
    return reinterpret_cast<CStationInfo*>(m_tree.GetItemData(item));
}

bool CStationPage::GetSelectedStation(Selection& selection) const {
    ui::TreeItemHandle item = m_tree.GetSelectedItem();
    if (item == nullptr) {
        return false;
    }
    int selectedImage = -1;
    selection.image = -1;
    m_tree.GetItemImage(item, selection.image, selectedImage);
    selection.station = StationOf(item);
    return true;
}

void CStationPage::InsertStation(CStationInfo* station) {
    m_tree.SelectItem(InsertStationItem(station));
}

void CStationPage::UpdateStationText(const CStationInfo* station) {
    m_tree.SetItemText(station->m_treeItem, station->FormatDisplayText());
}

// The tree moves its selection away from a deleted item; the buttons follow what it
// selects then, or nothing.
void CStationPage::DeleteSelectedItem() {
    ui::TreeItemHandle item = m_tree.GetSelectedItem();
    if (item == nullptr) {
        return;
    }
    m_tree.DeleteItem(item);
    m_selectedStation = StationOf(m_tree.GetSelectedItem());
    UpdateButtons();
}

void CStationPage::UpdateButtons() {
    if (m_owner == nullptr) {
        return;
    }
    const bool station = m_selectedStation != nullptr;
    m_owner->EditButton().EnableWindow(station);
    m_owner->DeleteButton().EnableWindow(station);
    m_owner->AddButton().EnableWindow(true);
}

void CStationPage::OnShowPage(bool shown) {
    if (shown) {
        UpdateButtons();
    }
}

void CStationPage::OnSelectionChanged(const ui::Event& event, intptr_t& result) {
    m_selectedStation = StationOf(event.item);
    UpdateButtons();
    result = 0;
}

// The owner's edit checks the selection itself: the root leads to nothing.
void CStationPage::OnDoubleClick(const ui::Event&, intptr_t& result) {
    if (m_owner != nullptr) {
        m_owner->SendCommand(CSettingsDialog::kEditButton);
    }
    result = 0;
}
