// HostSession: the station commands (enable, stats, reset, info) and the hints the line's
// figures give.
#include "host_session.h"

#include "platform/text_codec.h"
#include "text_output.h"

namespace vfdahost {

namespace {

// The module refuses nothing by value; "result" of the station commands says whether the
// configuration has the station (0) or not (-1), in which case the module did nothing.
constexpr int32_t kStationFound = 0;
constexpr int32_t kNoSuchStation = -1;

} // namespace

std::vector<NamedStation> HostSession::NumberedStations() const {
    std::vector<NamedStation> stations;
    for (const CStationInfo* station : module_.Document().Stations()) {
        stations.push_back({ToUtf8(station->m_name), station->m_stationNumber});
    }
    return stations;
}

bool HostSession::EveryStationAnswered() const {
    if (!portOpen_) {
        return false;
    }
    for (const NamedStation& station : NumberedStations()) {
        const StationDiagnosis figures = diagnoses_.Of(station.number);
        if (figures.requests > 0 && figures.Count(AnswerCause::Answered) == 0) {
            return false;
        }
    }
    return true;
}

void HostSession::PrintHints() {
    for (const Hint& hint : HintsFor(NumberedStations(), diagnoses_)) {
        events_.HintLine(hint);
    }
}

bool HostSession::StationText(const std::string& utf8, std::string& cp949) {
    if (platform::Utf8ToCp949(utf8, cp949)) {
        return true;
    }
    events_.Error("the station name \"" + utf8 + "\" has characters that CP949 cannot hold");
    return false;
}

bool HostSession::KnownStation(const std::string& cp949) const {
    return module_.Document().FindStation(cp949.c_str()) != nullptr;
}

void HostSession::EnableStation(const std::string& station, int32_t flag) {
    std::string name;
    if (!StationText(station, name)) {
        return;
    }
    module_.Enable(name.c_str(), flag);
    JsonFields fields;
    fields.Text("station", station).Integer("flag", flag);
    const std::optional<std::string> configured = ConfiguredName(name);
    const bool known = configured.has_value();
    if (known && backOff_) {
        backOff_->Forget(*configured); // the user's choice from now on
    }
    if (known && flag != 0) {
        disabledStations_.erase(*configured);
    } else if (known) {
        disabledStations_.insert(*configured);
    }
    events_.Result("enable", fields,
                   known ? station + (flag != 0 ? " enabled" : " disabled")
                         : "no station named " + station,
                   known ? kStationFound : kNoSuchStation);
}

std::vector<HostSession::StationView> HostSession::Overview() {
    diagnoses_.Settle(running_ ? std::optional(StationDiagnoses::Clock::now()) : std::nullopt);
    std::vector<StationView> views;
    for (const CStationInfo* station : module_.Document().Stations()) {
        StationView view;
        view.name = ToUtf8(station->m_name);
        view.number = station->m_stationNumber;
        StationCounters counters;
        view.status = module_.Statistics(station->m_name.c_str(), counters);
        {
            std::lock_guard guard(lostLock_);
            view.lost = lostStations_.count(station->m_name) != 0;
        }
        view.backedOff = backOff_ && backOff_->IsBackedOff(station->m_name);
        view.diagnosis = diagnoses_.Of(station->m_stationNumber);
        for (const TagDefinition& tag : tags_) {
            if (StationOfTag(tag) == station->m_name) {
                view.values.emplace_back(tag.name, LatestValue(tag.id));
            }
        }
        views.push_back(std::move(view));
    }
    return views;
}

HostSession::StationReport HostSession::Statistics(const std::string& station) {
    std::string name;
    StationReport report;
    if (platform::Utf8ToCp949(station, name)) {
        report.status = module_.Statistics(name.c_str(), report.counters);
    }
    return report;
}

void HostSession::PrintStationStatistics(const std::string& utf8, const std::string& cp949) {
    StationCounters counters;
    const int32_t status = module_.Statistics(cp949.c_str(), counters);
    if (!KnownStation(cp949)) {
        events_.NoStationStats(utf8, status); // the module filled in nothing
        return;
    }
    const CStationInfo* station = module_.Document().FindStation(cp949.c_str());
    const StationDiagnosis diagnosis = diagnoses_.Of(station->m_stationNumber);
    events_.Stats(utf8, status, counters, &diagnosis);
    if (backOff_) {
        events_.BackOff(RunEvents::BackOffNews::Figures, utf8,
                        backOff_->Figures(station->m_name, StationBackOff::Clock::now()));
    }
}

void HostSession::PrintStatistics(const std::optional<std::string>& station) {
    diagnoses_.Settle(running_ ? std::optional(StationDiagnoses::Clock::now()) : std::nullopt);
    if (station) {
        std::string name;
        if (StationText(*station, name)) {
            PrintStationStatistics(*station, name);
        }
        return;
    }
    for (const CStationInfo* configured : module_.Document().Stations()) {
        PrintStationStatistics(ToUtf8(configured->m_name), configured->m_name);
    }
    StationCounters counters; // the instance-wide query adds onto these
    const int32_t status = module_.Statistics(nullptr, counters);
    events_.Stats(std::nullopt, status, counters);
    PrintHints();
}

void HostSession::ResetStatistics(const std::optional<std::string>& station) {
    JsonFields fields;
    if (!station) {
        queuedWrites_.ClearingAll(WriteCounters());
        module_.ResetStatistics(nullptr);
        diagnoses_.Clear();
        fields.Null("station");
        events_.Result("reset", fields, "statistics of all stations cleared", kStationFound);
        return;
    }
    std::string name;
    if (!StationText(*station, name)) {
        return;
    }
    if (const std::optional<std::string> configured = ConfiguredName(name)) {
        queuedWrites_.Clearing(*configured, WriteCounter(*configured));
    }
    module_.ResetStatistics(name.c_str());
    if (const CStationInfo* configured = module_.Document().FindStation(name.c_str())) {
        diagnoses_.Clear(configured->m_stationNumber);
    }
    fields.Text("station", *station);
    const bool known = KnownStation(name);
    events_.Result("reset", fields,
                   known ? "statistics of " + *station + " cleared"
                         : "no station named " + *station,
                   known ? kStationFound : kNoSuchStation);
}

void HostSession::PrintInfo(const std::string& station) {
    std::string name;
    if (!StationText(station, name)) {
        return;
    }
    std::string number;
    std::string description;
    module_.StationInfo(name.c_str(), number, description);
    if (!KnownStation(name)) {
        events_.Info(station, std::nullopt, std::nullopt);
        return;
    }
    events_.Info(station, ToUtf8(number), ToUtf8(description));
}

} // namespace vfdahost
