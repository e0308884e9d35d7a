// The settings dialog's station page: a tree with the configuration as its root and one
// item per station, which keeps the dialog's station buttons in step with the selection.
#pragma once

#include "toolkit/ui/image_list.h"
#include "toolkit/ui/property_page.h"
#include "toolkit/ui/tree_ctrl.h"

class CSettingsDialog;
class CStationInfo;

class CStationPage : public CPropertyPage {
    DECLARE_DYNCREATE(CStationPage)
public:
    static constexpr int kTemplateId = 9002;
    static constexpr int kStationTree = 9012;
    static constexpr int kTreeBitmap = 9034;
    static constexpr int kImageWidth = 16;
    static constexpr uint32_t kMaskColor = 0xFF00FF;
    static constexpr int kRootImage = 0;
    static constexpr int kStationImage = 1;

    // What is selected in the tree: the station (null for the root) and the item's image.
    struct Selection {
        CStationInfo* station = nullptr;
        int image = -1;
    };

    CStationPage();

    void SetOwner(CSettingsDialog* owner) { m_owner = owner; }
    // False when no item is selected.
    bool GetSelectedStation(Selection& selection) const;
    // Adds the station as the last item under the root and selects it.
    void InsertStation(CStationInfo* station);
    void UpdateStationText(const CStationInfo* station);
    void DeleteSelectedItem();
    // Edit and delete follow the selected station; add is always possible here.
    void UpdateButtons();

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnEvent(const ui::Event& event, intptr_t& result) override;

private:
    ui::TreeItemHandle InsertStationItem(CStationInfo* station);
    CStationInfo* StationOf(ui::TreeItemHandle item) const;
    void OnShowPage(bool shown);
    void OnSelectionChanged(const ui::Event& event, intptr_t& result);
    void OnDoubleClick(const ui::Event& event, intptr_t& result);

    CTreeCtrl m_tree;
    CStationInfo* m_selectedStation = nullptr;
    CSettingsDialog* m_owner = nullptr;
    CImageList m_images;
    ui::TreeItemHandle m_rootItem = nullptr;
};
