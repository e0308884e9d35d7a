#include "line_configuration.h"

#include "config/serial_port.h"
#include "config/station_info.h"
#include "config/vfda_drv_doc.h"

#include <memory>

namespace testing_support {

void DescribeLine(CVfdaDrvDoc& document, const std::string& path,
                  const std::vector<StationEntry>& stations, int portIndex, int baudIndex) {
    document.SerialPort().m_portIndex = portIndex;
    document.SerialPort().m_baudIndex = baudIndex;
    for (const StationEntry& entry : stations) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = entry.name;
        station->m_stationNumber = entry.number;
        station->m_description = entry.description;
        document.AddStation(std::move(station));
    }
    document.SetPath(path);
}

std::string WriteLineConfiguration(const TempFolder& folder, const std::string& fileName,
                                   const std::vector<StationEntry>& stations, int portIndex) {
    CVfdaDrvDoc document;
    DescribeLine(document, folder.File(fileName), stations, portIndex);
    return document.SaveFile() ? document.Path() : std::string();
}

} // namespace testing_support
