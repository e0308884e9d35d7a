// The frames on the line during a one-shot command, counted as a run counts them, so that a
// drive that does not answer or refuses can be diagnosed the way run diagnoses it (an adapter
// that echoes, another station number, nothing on the line at all). Made before the
// session that uses the line, so it outlives the module's threads that report to it.
#pragma once

#include "station_diagnosis.h"

#include "toolkit/line_trace.h"

#include <string>

namespace vfdahost {

class LineWatch {
public:
    LineWatch();
    ~LineWatch();
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    // What the frames say about the station so far, as one text ("" when nothing is clear):
    // "; the adapter echoes every request: turn its RS-485 echo off".
    std::string Diagnosis(const std::string& name, int number) const;

private:
    static void Receive(void* context, LineDirection direction, const uint8_t* bytes, size_t count);

    StationDiagnoses diagnoses_;
};

} // namespace vfdahost
