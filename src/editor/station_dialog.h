// The dialog in which one station's name, model, number and description are entered. It
// checks the input against the document's other stations before it lets the user confirm,
// and changes no record itself: the settings dialog copies the values after OK.
#pragma once

#include "toolkit/ui/controls.h"
#include "toolkit/ui/dialog.h"

#include <string>

class CStationInfo;
class CVfdaDrvDoc;

class CStationDialog : public CDialog {
public:
    static constexpr int kTemplateId = 9004;
    static constexpr int kNameEdit = 9023;
    static constexpr int kModelList = 9024;
    static constexpr int kNumberEdit = 9025;
    static constexpr int kNumberSpin = 9026;
    static constexpr int kDescriptionEdit = 9027;
    static constexpr int kLowestNumber = 0;
    static constexpr int kHighestNumber = 31;

    // `station` is the one edited, or null for a new station.
    CStationDialog(CWnd* parent, const CVfdaDrvDoc* document, const CStationInfo* station);

    const std::string& Name() const { return m_name; }
    const std::string& Description() const { return m_description; }
    int ModelIndex() const { return m_modelIndex; }
    int StationNumber() const { return m_stationNumber; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    void OnOK() override;

private:
    // Shows the message of a refused input and moves the focus to the field to correct.
    void Refuse(int code, CWnd& field);

    CEdit m_numberEdit;
    CEdit m_nameEdit;
    CSpinButtonCtrl m_numberSpin;
    int m_modelIndex = 0;
    std::string m_description;
    std::string m_name;
    int m_stationNumber = 0;
    const CVfdaDrvDoc* m_document;
    const CStationInfo* m_station;
};
