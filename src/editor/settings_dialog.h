// The configuration editor's top-level dialog over one document: the station page and the
// comm port page in the host's tab sheet, and the buttons that add, edit and delete
// stations, save the document and leave the editor. Its saved flag is the editor's result.
#pragma once

#include "editor/comm_port_page.h"
#include "editor/station_page.h"
#include "host/vemor_sub.h"
#include "toolkit/ui/controls.h"
#include "toolkit/ui/dialog.h"

class CStationInfo;
class CVfdaDrvDoc;

class CSettingsDialog : public CDialog {
public:
    static constexpr int kTemplateId = 9001;
    static constexpr int kTabControl = 9006;
    static constexpr int kEditButton = 9007;
    static constexpr int kDeleteButton = 9008;
    static constexpr int kAddButton = 9009;
    static constexpr int kSaveButton = 9011;

    explicit CSettingsDialog(CVfdaDrvDoc* document);

    // 1 once a save succeeded while the dialog was open.
    int SavedFlag() const { return m_saved; }
    // 1 while the station list has changes that were not saved.
    int DirtyFlag() const { return m_dirty; }
    CVfdaDrvDoc* Document() const { return m_document; }
    CButton& AddButton() { return m_addButton; }
    CButton& EditButton() { return m_editButton; }
    CButton& DeleteButton() { return m_deleteButton; }
    const CCommPortPage& CommPortPage() const { return m_commPortPage; }
    const CStationPage& StationPage() const { return m_stationPage; }

    void OnAddStation();
    void OnEditStation();
    void OnDeleteStation();
    // Stores the comm port page's values and saves the document; false when the save
    // failed (the document has shown why), and the flags stay as they were.
    bool OnSave();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    // The editor closes only through the exit path: Enter leads to the default button.
    void OnOK() override;
    // Exit: asks to save unsaved changes, then closes.
    void OnCancel() override;
    bool OnEvent(const ui::Event& event, intptr_t& result) override;

private:
    void EditStation(CStationInfo* station);
    // The selected station item's record; null for the root or no selection.
    CStationInfo* SelectedStation() const;
    bool HasUnsavedChanges() const;
    void OnSaveButton();

    int m_dirty = 0;
    CVfdaDrvDoc* m_document;
    int m_saved = 0;
    CButton m_addButton;
    CButton m_editButton;
    CButton m_deleteButton;
    CTabSheet m_tabSheet;
    CStationPage m_stationPage;
    CCommPortPage m_commPortPage;
};
