// The settings dialog's comm port page: the line's serial settings. Port, baud rate and
// RTS/CTS control can be changed; parity, data bits, stop bits and the checksum option are
// only shown. While the page is shown the dialog's station buttons are disabled.
#pragma once

#include "toolkit/ui/controls.h"
#include "toolkit/ui/property_page.h"

class CSerialPort;
class CSettingsDialog;

class CCommPortPage : public CPropertyPage {
    DECLARE_DYNCREATE(CCommPortPage)
public:
    static constexpr int kTemplateId = 9003;
    static constexpr int kPortList = 9013;
    static constexpr int kBaudList = 9014;
    static constexpr int kParityNone = 9015;
    static constexpr int kDataBits7 = 9018;
    static constexpr int kStopBits1 = 9020;
    static constexpr int kChecksumBox = 9022;
    static constexpr int kRtsCtsBox = 9039;

    CCommPortPage();

    // Remembers the owner, clears the page-modified flag and takes the record's values;
    // the controls get them when the page window is created.
    void LoadSettings(CSettingsDialog* owner, const CSerialPort& port);
    // Reads the controls (when the page window exists) and writes the values into the
    // record; option bits other than checksum and RTS/CTS keep their values.
    void StoreSettings(CSerialPort& port);
    void SetModified(int modified) { m_modified = modified != 0 ? 1 : 0; }
    int IsModified() const { return m_modified; }

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange& exchange) override;
    bool OnEvent(const ui::Event& event, intptr_t& result) override;

private:
    void FillPortList();
    void OnShowPage(bool shown);
    void OnSettingChanged();

    CSettingsDialog* m_owner = nullptr;
    int m_modified = 0;
    CComboBox m_portCombo;
    int m_checksum = 0;
    int m_baudIndex = -1;
    int m_portIndex = -1;
    int m_stopBitsIndex = -1;
    int m_dataBitsIndex = -1;
    int m_parityIndex = -1;
    int m_rtsCts = 0;
};
