#include "config/serial_port.h"

#include "toolkit/archive.h"

IMPLEMENT_SERIAL(CSerialPort, CObject, 1)

void CSerialPort::Serialize(CArchive& archive) {
    if (archive.IsStoring()) {
        archive << m_portIndex << m_baudIndex << m_parityIndex << m_dataBitsIndex << m_stopBitsIndex
                << m_options;
    } else {
        archive >> m_portIndex >> m_baudIndex >> m_parityIndex >> m_dataBitsIndex >>
            m_stopBitsIndex >> m_options;
    }
}
