#include "line_watch.h"

namespace vfdahost {

LineWatch::LineWatch() {
    SetLineTraceSink(&LineWatch::Receive, this);
}

LineWatch::~LineWatch() {
    SetLineTraceSink(nullptr, nullptr);
}

void LineWatch::Receive(void* context, LineDirection direction, const uint8_t* bytes,
                        size_t count) {
    StationDiagnoses& diagnoses = static_cast<LineWatch*>(context)->diagnoses_;
    const std::span<const uint8_t> frame(bytes, count);
    const auto now = StationDiagnoses::Clock::now();
    if (direction == LineDirection::Sent) {
        diagnoses.Sent(frame, now);
    } else if (direction == LineDirection::Skipped) {
        diagnoses.Skipped(frame);
    } else {
        diagnoses.Received(frame, now);
    }
}

std::string LineWatch::Diagnosis(const std::string& name, int number) const {
    std::string text;
    for (const Hint& hint : HintsFor({{name, number}}, diagnoses_)) {
        text += "; " + hint.text;
    }
    return text;
}

} // namespace vfdahost
