#include "diagnosis_fields.h"

#include <cstdio>

namespace vfdahost {

std::string HexBytes(const uint8_t* bytes, size_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) {
            hex += ' ';
        }
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 0x0F];
    }
    return hex;
}

namespace {

// The causes of failed transactions, as the JSON fields name them.
struct CauseName {
    AnswerCause cause;
    const char* field;
    const char* text;
};
constexpr CauseName kCauseNames[] = {
    {AnswerCause::TimeOut, "timeouts", "time-out"},
    {AnswerCause::Refused, "refused", "refused by the drive"},
    {AnswerCause::OtherStation, "other_station", "answer from another station"},
    {AnswerCause::OtherParameter, "other_parameter", "answer for another parameter"},
    {AnswerCause::Garbled, "garbled", "garbled"},
    {AnswerCause::Echo, "echo", "adapter echo"},
};

const CauseName* NameOf(AnswerCause cause) {
    for (const CauseName& name : kCauseNames) {
        if (name.cause == cause) {
            return &name;
        }
    }
    return nullptr;
}

std::string Milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.0f", ms);
    return text;
}

} // namespace

const char* CauseText(AnswerCause cause) {
    const CauseName* name = NameOf(cause);
    return name != nullptr ? name->text : "";
}

const char* CauseField(AnswerCause cause) {
    const CauseName* name = NameOf(cause);
    return name != nullptr ? name->field : "";
}

void AddDiagnosis(const StationDiagnosis& diagnosis, JsonFields& fields, std::string& text) {
    fields.Integer("requests", diagnosis.requests);
    if (diagnosis.response) {
        const ResponseTimes& times = *diagnosis.response;
        fields.Number("response_min_ms", times.minMs)
            .Number("response_median_ms", times.medianMs)
            .Number("response_p95_ms", times.p95Ms)
            .Number("response_max_ms", times.maxMs);
        text += "; response ms min " + Milliseconds(times.minMs) + ", median " +
                Milliseconds(times.medianMs) + ", p95 " + Milliseconds(times.p95Ms) + ", max " +
                Milliseconds(times.maxMs);
    } else {
        fields.Null("response_min_ms")
            .Null("response_median_ms")
            .Null("response_p95_ms")
            .Null("response_max_ms");
        text += "; no answer timed";
    }
    std::string causes;
    for (const CauseName& name : kCauseNames) {
        const int64_t count = diagnosis.Count(name.cause);
        fields.Integer(name.field, count);
        if (count > 0) {
            causes += (causes.empty() ? "" : ", ") + std::to_string(count) + " " + name.text;
        }
    }
    if (diagnosis.answeredAs) {
        fields.Integer("answered_as", *diagnosis.answeredAs);
    } else {
        fields.Null("answered_as");
    }
    fields.Integer("noise", diagnosis.noisy).Integer("noise_bytes", diagnosis.noiseBytes);
    if (!causes.empty()) {
        text += "; failures: " + causes;
    }
    if (diagnosis.noisy > 0) {
        text += "; noise bytes skipped before " + std::to_string(diagnosis.noisy) + " answers (" +
                std::to_string(diagnosis.noiseBytes) + " bytes)";
    }
}

} // namespace vfdahost
