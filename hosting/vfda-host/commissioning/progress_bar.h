// The progress of long work (scan, backup, restore, clone) for a person at a terminal: one
// line on standard error, redrawn in place with '\r', erased before other output and at the
// end. Never drawn when standard error is not a terminal or the output is JSON, so scripts
// and log files never see it.
#pragma once

#include "event_printer.h"

#include <cstddef>
#include <cstdio>
#include <string>

namespace vfdahost {

class ProgressBar {
public:
    // Drawn only when `shown`; see Wanted.
    explicit ProgressBar(bool shown, std::FILE* out = stderr);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // True for text output while standard error is a terminal.
    static bool Wanted(OutputForm form);

    // Draws `done` of `total` with the label over the line drawn before.
    void Show(const std::string& label, size_t done, size_t total);
    // Erases the line, so other output starts at the left margin.
    void Clear();

    // The line for `done` of `total`: "label [#######.............]  12/81". The label's
    // control characters are escaped, and it is cut on a character to at most 30 columns.
    static std::string Render(const std::string& label, size_t done, size_t total);
    // The same, with the columns the line takes on a terminal.
    static std::string Render(const std::string& label, size_t done, size_t total, size_t& columns);

private:
    const bool shown_;
    std::FILE* const out_;
    size_t drawnWidth_ = 0; // columns of the line on the screen; 0: none
};

} // namespace vfdahost
