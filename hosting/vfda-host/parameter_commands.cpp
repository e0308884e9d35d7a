#include "parameter_commands.h"

#include "arguments.h"
#include "commands.h"
#include "text_output.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vfdahost {

bool ParseParameterCommandLine(const std::vector<std::string>& words, const char* usage,
                               size_t minimumPositional, ParameterCommandLine& line,
                               const std::set<std::string>& extraValues,
                               const std::set<std::string>& extraFlags) {
    std::set<std::string> valueOptions = extraValues;
    std::set<std::string> flagOptions = extraFlags;
    valueOptions.insert("--port");
    flagOptions.insert("--json");
    const Arguments arguments(words, valueOptions, flagOptions);
    std::string error = arguments.Error();
    if (error.empty() && arguments.Positional().size() < minimumPositional) {
        error = "missing arguments";
    }
    for (const std::string& text : arguments.Values("--port")) {
        PortMapping mapping;
        if (error.empty() && !ParsePortMapping(text, mapping, error)) {
            break;
        }
        line.ports.push_back(mapping);
    }
    if (!error.empty()) {
        std::fprintf(stderr, "vfda-host: %s\n%s", error.c_str(), usage);
        return false;
    }
    line.positional = arguments.Positional();
    line.json = arguments.Has("--json");
    for (const std::string& option : extraValues) {
        if (const std::optional<std::string> value = arguments.Value(option)) {
            line.values[option] = *value;
        }
    }
    for (const std::string& flag : extraFlags) {
        if (arguments.Has(flag)) {
            line.flags.insert(flag);
        }
    }
    return true;
}

int OpenSession(const ParameterCommandLine& line, const std::string& configPath, PortFolder& ports,
                ParameterSession& session) {
    std::string error;
    if (!ports.Create(line.ports, error) || !session.Open(configPath, error)) {
        std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

int StartOnStations(const ParameterCommandLine& line, const std::string& configPath,
                    const std::vector<std::string>& names, PortFolder& ports,
                    ParameterSession& session, std::vector<const CStationInfo*>& stations) {
    if (const int failed = OpenSession(line, configPath, ports, session)) {
        return failed;
    }
    for (const std::string& name : names) {
        const CStationInfo* station = session.FindStation(name);
        if (station == nullptr) {
            std::fprintf(stderr, "vfda-host: no station named %s\n", name.c_str());
            return kExitRefused;
        }
        stations.push_back(station);
    }
    std::string error;
    if (!session.Start(stations, error)) {
        std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

void ShowReadProgress(ParameterSession& session, ProgressBar& bar) {
    session.SetReadProgress([&bar](const CStationInfo& station, int done, int total) {
        bar.Show(ToUtf8(station.m_name) + " reading", static_cast<size_t>(done),
                 static_cast<size_t>(total));
        if (done >= total) {
            bar.Clear();
        }
    });
}

ParameterBackup ReadBackup(ParameterSession& session, const CStationInfo& station,
                           const std::string& name) {
    ParameterBackup backup;
    backup.station = name;
    backup.number = station.m_stationNumber;
    backup.model = station.m_modelIndex;
    backup.baud = 1200 << session.Document().SerialPort().m_baudIndex;
    backup.readAt = UtcNowText();
    const std::vector<std::optional<double>> values =
        session.ReadParameters(station, 0, kBackupParameters);
    std::copy(values.begin(), values.end(), backup.values.begin());
    return backup;
}

int StartOnBackupStation(const ParameterCommandLine& line, PortFolder& ports,
                         ParameterSession& session, BackupTarget& target) {
    std::string error;
    if (const int failed = LoadBackup(line.positional[1], target.file, error)) {
        std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
        return failed;
    }
    const auto named = line.values.find("--station");
    target.name = named != line.values.end() ? named->second : target.file.station;
    std::vector<const CStationInfo*> stations;
    const int exitCode =
        StartOnStations(line, line.positional[0], {target.name}, ports, session, stations);
    target.station = exitCode == kExitOk ? stations[0] : nullptr;
    return exitCode;
}

std::string ValueText(const std::optional<double>& value) {
    return value ? NumberText(*value) : "not read";
}

void NumberOrNull(JsonFields& fields, const char* key, const std::optional<double>& value) {
    if (value) {
        fields.Number(key, *value);
    } else {
        fields.Null(key);
    }
}

std::optional<WordAddress> ParseWordAddress(const std::string& text) {
    if (text.size() < 2 || text.size() > 3) {
        return std::nullopt;
    }
    WordAddress address;
    address.area = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const std::optional<long> number = ParseInteger(text.substr(1));
    const long last = address.area == 'P' ? 80 : address.area == 'D' ? 6 : -1;
    if (!number || !std::isdigit(static_cast<unsigned char>(text[1])) || *number < 0 ||
        *number > last) {
        return std::nullopt;
    }
    address.number = static_cast<int>(*number);
    return address;
}

} // namespace vfdahost
