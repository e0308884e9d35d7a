#include "monitor_report.h"

#include "diagnosis_fields.h"

#include <cmath>

namespace vfdahost {
namespace {

std::string StationText(const std::optional<int>& station) {
    return station ? StationNumberText(*station) : "??";
}

// How the JSON lines name a transaction's end.
const char* ResultName(AnswerCause cause) {
    switch (cause) {
    case AnswerCause::Answered:
        return "answered";
    case AnswerCause::TimeOut:
        return "time-out";
    case AnswerCause::Refused:
        return "refused";
    case AnswerCause::OtherStation:
        return "other-station";
    case AnswerCause::OtherParameter:
        return "other-parameter";
    case AnswerCause::Garbled:
        return "garbled";
    case AnswerCause::Echo:
        return "echo";
    }
    return "?";
}

std::string WordsText(const std::vector<HeardWord>& words) {
    std::string text;
    for (const HeardWord& word : words) {
        text += (text.empty() ? "" : ", ") + word.address + " = " + NumberText(word.value);
    }
    return text;
}

std::string OutcomeText(const Exchange& exchange) {
    switch (exchange.cause) {
    case AnswerCause::Answered:
        return exchange.IsWrite() ? "answered" : "";
    case AnswerCause::Refused:
        return std::string(CauseText(exchange.cause)) +
               (exchange.errorCode ? ", error code " + std::to_string(*exchange.errorCode) : "");
    case AnswerCause::OtherStation:
        return std::string(CauseText(exchange.cause)) +
               (exchange.answeredAs ? " (" + StationNumberText(*exchange.answeredAs) + ")" : "");
    default:
        return CauseText(exchange.cause);
    }
}

std::string ExchangeText(const Exchange& exchange) {
    const std::string words = WordsText(exchange.words);
    std::string text = std::string(exchange.IsWrite() ? "write  " : "read   ") +
                       StationText(exchange.station) + " " + exchange.Command() + " ";
    if (exchange.cause == AnswerCause::Answered && !words.empty()) {
        text += words;
        const std::string outcome = OutcomeText(exchange);
        text += outcome.empty() ? "" : ": " + outcome;
    } else {
        text += exchange.Address() + ": " + OutcomeText(exchange);
    }
    if (exchange.responseMs) {
        text += " (" + std::to_string(std::lround(*exchange.responseMs)) + " ms)";
    }
    if (exchange.noiseBytes > 0) {
        text += ", after " + std::to_string(exchange.noiseBytes) + " noise bytes";
    }
    return text;
}

} // namespace

MonitorReport::MonitorReport(EventPrinter& printer, MonitorShows shows, CsvValueLog* csv)
    : printer_(printer), frames_(printer), shows_(shows), csv_(csv) {}

void MonitorReport::Listening(const MonitorSettings& settings) {
    JsonFields fields;
    fields.Text("port", settings.port)
        .TextOrNull("device", settings.device)
        .Integer("baud", settings.baud)
        .Text("framing", "8-O-1");
    printer_.Print("listen", fields,
                   "listen " + settings.port + " (" + settings.device.value_or("system port") +
                       "), " + std::to_string(settings.baud) +
                       " baud 8-O-1; nothing is sent on the line");
}

void MonitorReport::Piece(const LinePiece& piece) {
    if (!shows_.trace) {
        return;
    }
    const LineDirection direction = piece.kind == PieceKind::Request  ? LineDirection::Sent
                                    : piece.kind == PieceKind::Answer ? LineDirection::Received
                                                                      : LineDirection::Skipped;
    frames_.Frame(direction, piece.bytes.data(), piece.bytes.size());
}

bool MonitorReport::Changed(const Exchange& exchange) {
    bool changed = false;
    for (const HeardWord& word : exchange.words) {
        const auto key = std::make_pair(exchange.station.value_or(-1), word.address);
        const auto last = lastValues_.find(key);
        if (last != lastValues_.end() && last->second == word.value) {
            continue;
        }
        lastValues_[key] = word.value;
        changed = true;
        if (csv_ != nullptr) {
            csv_->Row(exchange.station ? std::to_string(*exchange.station) : "", "", word.address,
                      word.value);
        }
    }
    return changed;
}

void MonitorReport::Heard(const Exchange& exchange) {
    const bool changed = Changed(exchange);
    if (shows_.changesOnly && !changed && exchange.cause == AnswerCause::Answered) {
        return;
    }
    JsonFields words;
    for (const HeardWord& word : exchange.words) {
        words.Number(word.address, word.value);
    }
    JsonFields fields;
    fields.IntegerOrNull("station", exchange.station)
        .Text("command", std::string(1, exchange.Command()))
        .Text("address", exchange.Address())
        .Text("result", ResultName(exchange.cause))
        .Object("values", words)
        .NumberOrNull("response_ms", exchange.responseMs)
        .Integer("noise_bytes", static_cast<long long>(exchange.noiseBytes))
        .IntegerOrNull("error_code", exchange.errorCode)
        .IntegerOrNull("answered_as", exchange.answeredAs)
        .Boolean("changed", changed);
    printer_.Print("exchange", fields, ExchangeText(exchange));
}

void MonitorReport::Stations(const ExchangeTracker& tracker) {
    const StationDiagnoses& diagnoses = tracker.Diagnoses();
    for (const int number : diagnoses.Asked()) {
        const StationDiagnosis diagnosis = diagnoses.Of(number);
        int64_t failed = 0;
        for (const int64_t count : diagnosis.causes) {
            failed += count;
        }
        failed -= diagnosis.Count(AnswerCause::Answered);
        JsonFields fields;
        fields.Integer("station", number)
            .Integer("answered", diagnosis.Count(AnswerCause::Answered))
            .Integer("failed", failed);
        std::string text = "stats  station " + StationNumberText(number) + ": " +
                           std::to_string(diagnosis.requests) + " requests, " +
                           std::to_string(diagnosis.Count(AnswerCause::Answered)) + " answered";
        AddDiagnosis(diagnosis, fields, text);
        printer_.Print("station", fields, text);
    }
    JsonFields fields;
    fields.Integer("stray_bytes", tracker.StrayBytes());
    printer_.Print("line", fields,
                   "line   " + std::to_string(tracker.StrayBytes()) +
                       " bytes heard outside any transaction (noise, answers nobody asked for)");
}

} // namespace vfdahost
