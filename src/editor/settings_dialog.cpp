#include "editor/settings_dialog.h"

#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "editor/station_dialog.h"
#include "resources/texts.h"
#include "toolkit/ui/data_exchange.h"
#include "toolkit/ui/message_box.h"
#include "toolkit/ui/message_map.h"

#include <memory>

CSettingsDialog::CSettingsDialog(CVfdaDrvDoc* document)
    : CDialog(kTemplateId), m_document(document) {}

// The pages know the dialog before the tab sheet creates their windows.
bool CSettingsDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_commPortPage.LoadSettings(this, m_document->SerialPort());
    m_stationPage.SetOwner(this);
    m_tabSheet.AddPage(&m_stationPage);
    m_tabSheet.AddPage(&m_commPortPage);
    m_tabSheet.SetActivePage(0);
    return true;
}

void CSettingsDialog::DoDataExchange(CDataExchange& exchange) {
    DDX_Control(exchange, kAddButton, m_addButton);
    DDX_Control(exchange, kEditButton, m_editButton);
    DDX_Control(exchange, kDeleteButton, m_deleteButton);
    DDX_Control(exchange, kTabControl, m_tabSheet);
}

bool CSettingsDialog::OnEvent(const ui::Event& event, intptr_t& result) {
    using Map = ui::MessageMap<CSettingsDialog>;
    static const Map map{
        Map::Clicked(kAddButton, &CSettingsDialog::OnAddStation),
        Map::Clicked(kEditButton, &CSettingsDialog::OnEditStation),
        Map::Clicked(kDeleteButton, &CSettingsDialog::OnDeleteStation),
        Map::Clicked(kSaveButton, &CSettingsDialog::OnSaveButton),
    };
    return map.Dispatch(*this, event, result) || CDialog::OnEvent(event, result);
}

void CSettingsDialog::EditStation(CStationInfo* station) {
    CStationDialog dialog(this, m_document, station);
    if (dialog.DoModal() != ui::kIdOk) {
        return;
    }
    std::unique_ptr<CStationInfo> added;
    CStationInfo* target = station;
    if (target == nullptr) {
        added = std::make_unique<CStationInfo>();
        target = added.get();
    }
    target->m_name = dialog.Name();
    target->m_description = dialog.Description();
    target->m_modelIndex = dialog.ModelIndex();
    target->m_stationNumber = dialog.StationNumber();
    if (added == nullptr) {
        m_stationPage.UpdateStationText(target);
    } else {
        m_stationPage.InsertStation(target);
        m_document->AddStation(std::move(added));
    }
    m_dirty = 1;
}

CStationInfo* CSettingsDialog::SelectedStation() const {
    CStationPage::Selection selection;
    if (!m_stationPage.GetSelectedStation(selection) ||
        selection.image != CStationPage::kStationImage) {
        return nullptr;
    }
    return selection.station;
}

void CSettingsDialog::OnAddStation() {
    EditStation(nullptr);
}

void CSettingsDialog::OnEditStation() {
    if (CStationInfo* station = SelectedStation()) {
        EditStation(station);
    }
}

void CSettingsDialog::OnDeleteStation() {
    CStationInfo* station = SelectedStation();
    if (station == nullptr) {
        return;
    }
    if (AfxMessageBox(resources::kDeleteStationQuestion, ui::kMbYesNo) != ui::kIdYes) {
        return;
    }
    m_document->RemoveStation(station);
    m_stationPage.DeleteSelectedItem();
    m_dirty = 1;
}

bool CSettingsDialog::OnSave() {
    m_commPortPage.StoreSettings(m_document->SerialPort());
    if (!m_document->SaveFile()) {
        return false;
    }
    m_commPortPage.SetModified(0);
    m_dirty = 0;
    m_saved = 1;
    return true;
}

void CSettingsDialog::OnSaveButton() {
    OnSave();
}

bool CSettingsDialog::HasUnsavedChanges() const {
    return m_dirty != 0 || m_commPortPage.IsModified() != 0;
}

void CSettingsDialog::OnOK() {}

// A save that fails keeps the changes unsaved, so the question comes again until the user
// declines or the save succeeds.
void CSettingsDialog::OnCancel() {
    while (HasUnsavedChanges() &&
           AfxMessageBox(resources::kSaveChangesQuestion, ui::kMbYesNo) == ui::kIdYes) {
        if (OnSave()) {
            break;
        }
    }
    CDialog::OnCancel();
}
