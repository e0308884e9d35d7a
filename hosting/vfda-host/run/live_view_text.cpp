#include "live_view_text.h"

#include "json_fields.h"

#include <cmath>

namespace vfdahost {
namespace {

struct CauseLetter {
    AnswerCause cause;
    char letter;
};
constexpr CauseLetter kCauseLetters[] = {
    {AnswerCause::TimeOut, 't'},      {AnswerCause::Refused, 'r'},
    {AnswerCause::OtherStation, 's'}, {AnswerCause::OtherParameter, 'p'},
    {AnswerCause::Garbled, 'g'},      {AnswerCause::Echo, 'e'},
};

} // namespace

std::string LinkStateText(const HostSession::StationView& station) {
    if (station.backedOff) {
        return "backed off";
    }
    if (station.status < 0) {
        return "disabled";
    }
    if (station.lost) {
        return "lost";
    }
    if (station.diagnosis.requests == 0) {
        return "-";
    }
    return station.status == 0 ? "good" : "failing";
}

std::string MillisecondsText(const std::optional<double>& ms) {
    return ms ? std::to_string(std::lround(*ms)) : "-";
}

std::string FailuresText(const StationDiagnosis& diagnosis) {
    std::string text;
    for (const CauseLetter& cause : kCauseLetters) {
        if (const int64_t count = diagnosis.Count(cause.cause); count > 0) {
            text +=
                (text.empty() ? "" : " ") + std::string(1, cause.letter) + std::to_string(count);
        }
    }
    return text.empty() ? "0" : text;
}

std::string ValuesText(const HostSession::StationView& station) {
    std::string text;
    for (const auto& [tag, value] : station.values) {
        text += (text.empty() ? "" : " ") + tag + "=" + (value ? NumberText(*value) : "?");
    }
    return text;
}

} // namespace vfdahost
