#include "demo_files.h"

#include "config/vfda_drv_doc.h"
#include "platform/system_error.h"
#include "platform/text_codec.h"

#include <fstream>
#include <memory>

namespace vfdahost {
namespace {

struct DemoWord {
    const char* suffix;
    const char* type;
    const char* address;
};

// What each station shows: the frequency command, the output, the current, the command
// word, the status nibble and two of its bits, and the acceleration time.
const DemoWord kDemoWords[] = {
    {"F_CMD", "analog", "D0"},       {"F_OUT", "analog", "D1"},  {"CURRENT", "analog", "D2"},
    {"CMD_WORD", "analog", "D3"},    {"STATUS", "analog", "D4"}, {"RUNNING", "digital", "D4.0"},
    {"AT_SPEED", "digital", "D4.2"}, {"ACCEL", "analog", "P10"},
};

} // namespace

const std::vector<DemoStation>& DemoStations() {
    static const std::vector<DemoStation> stations = {
        {"PUMP1", 1, 3, "급수 펌프 1호기", 30.0},
        {"PUMP2", 2, 3, "급수 펌프 2호기", 45.0},
        {"FAN1", 5, 7, "냉각탑 팬", 20.0},
    };
    return stations;
}

std::string DemoTag(const DemoStation& station, const char* word) {
    return std::string(station.name) + "_" + word;
}

bool WriteDemoConfiguration(const std::string& path, std::string& error) {
    CVfdaDrvDoc document; // COM1, 4800 baud, 8-O-1 by default
    for (const DemoStation& demo : DemoStations()) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = demo.name;
        station->m_stationNumber = demo.number;
        station->m_modelIndex = demo.model;
        if (!platform::Utf8ToCp949(demo.description, station->m_description)) {
            error = "the demo's descriptions have no CP949 form";
            return false;
        }
        document.AddStation(std::move(station));
    }
    document.SetPath(path);
    if (!document.SaveFile()) {
        error = "cannot write " + path + ": " + platform::LastSystemError();
        return false;
    }
    return true;
}

bool WriteDemoTags(const std::string& path, std::string& error) {
    std::ofstream file(path, std::ios::binary);
    file << "name,type,device,address\n";
    for (const DemoStation& station : DemoStations()) {
        for (const DemoWord& word : kDemoWords) {
            file << DemoTag(station, word.suffix) << ',' << word.type << ',' << station.name << ','
                 << word.address << '\n';
        }
    }
    file.close();
    if (!file) {
        error = "cannot write " + path + ": " + platform::LastSystemError();
        return false;
    }
    return true;
}

} // namespace vfdahost
