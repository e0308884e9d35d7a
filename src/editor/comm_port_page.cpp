#include "editor/comm_port_page.h"

#include "config/serial_port.h"
#include "editor/settings_dialog.h"
#include "toolkit/ui/data_exchange.h"
#include "toolkit/ui/message_map.h"

#include <string>

IMPLEMENT_DYNCREATE(CCommPortPage, CObject)

CCommPortPage::CCommPortPage() : CPropertyPage(kTemplateId) {}

void CCommPortPage::LoadSettings(CSettingsDialog* owner, const CSerialPort& port) {
    m_owner = owner;
    m_modified = 0;
    m_portIndex = port.m_portIndex;
    m_baudIndex = port.m_baudIndex;
    m_parityIndex = port.m_parityIndex;
    m_dataBitsIndex = port.m_dataBitsIndex;
    m_stopBitsIndex = port.m_stopBitsIndex;
    m_checksum = (port.m_options & CSerialPort::kOptionChecksum) != 0 ? 1 : 0;
    m_rtsCts = (port.m_options & CSerialPort::kOptionRtsCts) != 0 ? 1 : 0;
}

void CCommPortPage::StoreSettings(CSerialPort& port) {
    // A page that was never created still holds what LoadSettings gave it.
    if (m_hWnd != nullptr) {
        UpdateData(true);
    }
    port.m_portIndex = m_portIndex;
    port.m_baudIndex = m_baudIndex;
    port.m_parityIndex = m_parityIndex;
    port.m_dataBitsIndex = m_dataBitsIndex;
    port.m_stopBitsIndex = m_stopBitsIndex;
    int32_t options = port.m_options & ~(CSerialPort::kOptionChecksum | CSerialPort::kOptionRtsCts);
    if (m_checksum != 0) {
        options |= CSerialPort::kOptionChecksum;
    }
    if (m_rtsCts != 0) {
        options |= CSerialPort::kOptionRtsCts;
    }
    port.m_options = options;
}

// The port list is empty while the members go into the controls, so its selection is set
// again once the list is filled.
bool CCommPortPage::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    FillPortList();
    m_portCombo.SetCurSel(m_portIndex);
    return true;
}

void CCommPortPage::FillPortList() {
    for (int number = 1; number <= CSerialPort::kPortCount; ++number) {
        m_portCombo.AddString("COM" + std::to_string(number));
    }
}

void CCommPortPage::DoDataExchange(CDataExchange& exchange) {
    DDX_Control(exchange, kPortList, m_portCombo);
    DDX_Check(exchange, kChecksumBox, m_checksum);
    DDX_CBIndex(exchange, kBaudList, m_baudIndex);
    DDX_CBIndex(exchange, kPortList, m_portIndex);
    DDX_Radio(exchange, kStopBits1, m_stopBitsIndex);
    DDX_Radio(exchange, kDataBits7, m_dataBitsIndex);
    DDX_Radio(exchange, kParityNone, m_parityIndex);
    DDX_Check(exchange, kRtsCtsBox, m_rtsCts);
}

bool CCommPortPage::OnEvent(const ui::Event& event, intptr_t& result) {
    using Map = ui::MessageMap<CCommPortPage>;
    static const Map map{
        Map::Show(&CCommPortPage::OnShowPage),
        Map::SelectionChange(kPortList, &CCommPortPage::OnSettingChanged),
        Map::SelectionChange(kBaudList, &CCommPortPage::OnSettingChanged),
        Map::Clicked(kRtsCtsBox, &CCommPortPage::OnSettingChanged),
    };
    return map.Dispatch(*this, event, result) || CPropertyPage::OnEvent(event, result);
}

// The station buttons mean nothing while the serial settings are shown.
void CCommPortPage::OnShowPage(bool shown) {
    if (!shown || m_owner == nullptr) {
        return;
    }
    m_owner->EditButton().EnableWindow(false);
    m_owner->DeleteButton().EnableWindow(false);
    m_owner->AddButton().EnableWindow(false);
}

// Any change counts, also one back to the value before.
void CCommPortPage::OnSettingChanged() {
    m_modified = 1;
}
