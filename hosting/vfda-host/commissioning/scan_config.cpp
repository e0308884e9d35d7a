#include "scan_config.h"

#include "comm/line_rates.h"
#include "config/vfda_drv_doc.h"
#include "config_edit.h"
#include "config_path.h"
#include "console_output.h"
#include "host_tool.h"
#include "platform/file.h"
#include "resources/texts.h"
#include "text_output.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace vfdahost {

std::optional<std::string> WhyNotAddable(const std::string& path) {
    if (auto why = WhyNotWritable(path)) {
        return why;
    }
    std::string target;
    if (!platform::FinalTarget(path, target)) {
        return path + ": a link that is not followed";
    }
    const platform::FileStatus status = platform::StatusOf(target);
    if (status.exists) {
        return WhyNotReadable(target);
    }
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    const std::string folderText = folder.empty() ? "." : folder.string();
    const platform::FileStatus place = platform::StatusOf(folderText);
    if (!place.exists || place.regular) {
        return "the folder " + folderText + " does not exist";
    }
    if (place.readOnly) {
        return "the folder " + folderText + " cannot be written";
    }
    return std::nullopt;
}

namespace {

std::string StationName(int number) {
    return std::string("VFD") + static_cast<char>('0' + number / 10) +
           static_cast<char>('0' + number % 10);
}

std::string CheckText(int code) {
    const char* text = resources::StringTableText(static_cast<uint32_t>(code));
    return text != nullptr ? ToUtf8(text) : "check " + std::to_string(code);
}

bool HasNumber(const CVfdaDrvDoc& document, int number) {
    for (const CStationInfo* station : document.Stations()) {
        if (station->m_stationNumber == number) {
            return true;
        }
    }
    return false;
}

// The station dialog's models (0-22) are named by series and power, and no table known here
// ties a drive's capacity code to one of them for certain: the model stays the default, and
// the capacity code the drive reported is said so that the user can set it.
void SayModelLeft(const std::string& name, const FoundStation& found) {
    if (found.capacityCode) {
        OutputFormatted(stderr,
                        "vfda-host: %s reports capacity code %u; its model is left at 0 (set it "
                        "with config edit-station %s --model M)\n",
                        name.c_str(), static_cast<unsigned>(*found.capacityCode), name.c_str());
    }
}

void AddStation(CVfdaDrvDoc& document, const FoundStation& found) {
    const int number = found.number;
    const std::string name = StationName(number);
    int code = document.ValidateStationName(name, nullptr);
    if (code == 0) {
        code = document.ValidateStationNumber(number, nullptr);
    }
    if (code != 0) {
        OutputFormatted(stderr, "vfda-host: station %s not added: %s\n", name.c_str(),
                        CheckText(code).c_str());
        return;
    }
    auto station = std::make_unique<CStationInfo>();
    station->m_name = name;
    station->m_stationNumber = number;
    document.AddStation(std::move(station));
    SayModelLeft(name, found);
}

void SetLine(CVfdaDrvDoc& document, int portNumber, const std::vector<FoundStation>& found) {
    CSerialPort& port = document.SerialPort();
    port.m_portIndex = portNumber - 1;
    for (const FoundStation& station : found) {
        if (station.baud != found.front().baud) {
            return;
        }
    }
    if (const std::optional<int32_t> index = comm::BaudIndexOf(found.front().baud)) {
        port.m_baudIndex = *index;
    }
}

} // namespace

bool AddFoundStations(const std::string& path, uint32_t lockWaitMs, int portNumber,
                      const std::vector<FoundStation>& found) {
    const auto add = [&](CVfdaDrvDoc& document) -> std::optional<Refusal> {
        for (const FoundStation& station : found) {
            if (!HasNumber(document, station.number)) {
                AddStation(document, station);
            }
        }
        if (!found.empty()) {
            SetLine(document, portNumber, found);
        }
        return std::nullopt;
    };
    return EditConfiguration(path, lockWaitMs, StartFrom::FileIfPresent, add) == kExitOk;
}

} // namespace vfdahost
