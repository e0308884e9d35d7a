#include "editor/station_dialog.h"

#include "config/station_info.h"
#include "config/vfda_drv_doc.h"
#include "host/vemor_sub.h"
#include "resources/texts.h"
#include "toolkit/ui/data_exchange.h"

namespace {

constexpr uint32_t kMessageFlags = 0;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string Trimmed(const std::string& text) {
    size_t first = 0;
    size_t end = text.size();
    while (first < end && IsWhiteSpace(text[first])) {
        ++first;
    }
    while (end > first && IsWhiteSpace(text[end - 1])) {
        --end;
    }
    return text.substr(first, end - first);
}

} // namespace

CStationDialog::CStationDialog(CWnd* parent, const CVfdaDrvDoc* document,
                               const CStationInfo* station)
    : CDialog(kTemplateId, parent), m_document(document), m_station(station) {
    if (station != nullptr) {
        m_modelIndex = station->m_modelIndex;
        m_description = station->m_description;
        m_name = station->m_name;
        m_stationNumber = station->m_stationNumber;
    }
}

bool CStationDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    m_numberSpin.SetRange(kLowestNumber, kHighestNumber);
    return true;
}

void CStationDialog::DoDataExchange(CDataExchange& exchange) {
    DDX_Control(exchange, kNumberEdit, m_numberEdit);
    DDX_Control(exchange, kNameEdit, m_nameEdit);
    DDX_Control(exchange, kNumberSpin, m_numberSpin);
    DDX_CBIndex(exchange, kModelList, m_modelIndex);
    DDX_Text(exchange, kDescriptionEdit, m_description);
    DDX_Text(exchange, kNameEdit, m_name);
    DDX_Text(exchange, kNumberEdit, m_stationNumber);
    DDV_MinMaxInt(exchange, m_stationNumber, kLowestNumber, kHighestNumber);
}

// The checks run in this order and the first refusal ends them: an empty name is reported
// before a taken number.
void CStationDialog::OnOK() {
    if (!UpdateData(true)) {
        return;
    }
    m_name = Trimmed(m_name);
    if (m_name.empty()) {
        Refuse(resources::kStationNameMissing, m_nameEdit);
        return;
    }
    if (const int code = m_document->ValidateStationName(m_name, m_station); code != 0) {
        Refuse(code, m_nameEdit);
        return;
    }
    if (const int code = m_document->ValidateStationNumber(m_stationNumber, m_station); code != 0) {
        Refuse(code, m_numberEdit);
        return;
    }
    EndDialog(ui::kIdOk);
}

void CStationDialog::Refuse(int code, CWnd& field) {
    CVemorError::ErrMsg(code, kMessageFlags, nullptr);
    GotoDlgCtrl(field);
}
