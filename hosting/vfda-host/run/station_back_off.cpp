#include "station_back_off.h"

#include <algorithm>

namespace vfdahost {

void StationBackOff::Lost(const std::string& station) {
    std::lock_guard guard(lock_);
    stations_.try_emplace(station);
    restoredWaiting_.erase(station);
}

void StationBackOff::Restored(const std::string& station) {
    std::lock_guard guard(lock_);
    if (stations_.count(station) != 0) {
        restoredWaiting_.insert(station);
    }
}

void StationBackOff::Forget(const std::string& station) {
    std::lock_guard guard(lock_);
    stations_.erase(station);
    restoredWaiting_.erase(station);
}

std::map<std::string, StationBackOff::Link>
StationBackOff::ReadLinks(const LinkReader& link) const {
    std::vector<std::string> names;
    {
        std::lock_guard guard(lock_);
        for (const auto& [name, station] : stations_) {
            names.push_back(name);
        }
    }
    std::map<std::string, Link> links;
    for (const std::string& name : names) {
        links[name] = link(name);
    }
    return links;
}

BackOffStep StationBackOff::Failed(const std::string& name, Station& station,
                                   Clock::time_point now) {
    station.state = State::Disabled;
    station.wait = std::min(station.wait * 2, limits_.most);
    station.visitAt = now + station.wait;
    return {BackOffStep::Kind::Disable, name, station.wait};
}

std::optional<BackOffStep> StationBackOff::TurnOne(const std::string& name, Station& station,
                                                   Clock::time_point now,
                                                   const std::map<std::string, Link>& links) {
    const auto found = links.find(name);
    const Link link = found != links.end() ? found->second : Link{};
    switch (station.state) {
    case State::Lost:
        station.state = State::Disabled;
        station.wait = std::min(limits_.first, limits_.most);
        station.visitAt = now + station.wait;
        ++figures_[name].backOffs;
        return BackOffStep{BackOffStep::Kind::Disable, name, station.wait};
    case State::Disabled:
        if (now < station.visitAt) {
            return std::nullopt;
        }
        station.state = State::Visiting;
        station.visitStarted = now;
        station.failuresAtVisit = link.failures;
        ++figures_[name].visits;
        return BackOffStep{BackOffStep::Kind::Visit, name, {}};
    case State::Visiting:
        if (link.failures < station.failuresAtVisit) {
            station.failuresAtVisit = link.failures; // the statistics were reset meanwhile
        }
        // An answer shows as the module's message 15 (Restored), which a turn takes first.
        if (link.failures > station.failuresAtVisit ||
            now - station.visitStarted >= kLongestVisit) {
            return Failed(name, station, now);
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::vector<BackOffStep> StationBackOff::Turn(Clock::time_point now, const LinkReader& link) {
    const std::map<std::string, Link> links = ReadLinks(link);
    std::lock_guard guard(lock_);
    std::vector<BackOffStep> steps;
    for (const std::string& name : restoredWaiting_) {
        if (stations_.erase(name) != 0) {
            ++figures_[name].restored;
            steps.push_back({BackOffStep::Kind::Restore, name, {}});
        }
    }
    restoredWaiting_.clear();
    for (auto& [name, station] : stations_) {
        if (std::optional<BackOffStep> step = TurnOne(name, station, now, links)) {
            steps.push_back(*step);
        }
    }
    return steps;
}

const StationBackOff::Station* StationBackOff::BackedOff(const std::string& station) const {
    const auto found = stations_.find(station);
    return found != stations_.end() && found->second.state != State::Lost ? &found->second
                                                                          : nullptr;
}

bool StationBackOff::IsBackedOff(const std::string& station) const {
    std::lock_guard guard(lock_);
    return BackedOff(station) != nullptr;
}

BackOffFigures StationBackOff::Figures(const std::string& station, Clock::time_point now) const {
    std::lock_guard guard(lock_);
    const auto counted = figures_.find(station);
    BackOffFigures figures = counted != figures_.end() ? counted->second : BackOffFigures{};
    const Station* backedOff = BackedOff(station);
    figures.backedOff = backedOff != nullptr;
    if (backedOff != nullptr && backedOff->state == State::Disabled) {
        figures.nextVisitIn =
            std::max(std::chrono::milliseconds(0),
                     std::chrono::ceil<std::chrono::milliseconds>(backedOff->visitAt - now));
    }
    return figures;
}

} // namespace vfdahost
