// The operator's commands to a running simulator, one text line each (see sim/README.md):
// fault, clear, set, get, load, stats, help, quit.
#pragma once

#include "sim/line_server.h"
#include "sim/simulator.h"

#include <cstddef>
#include <istream>
#include <string>
#include <string_view>

namespace sim {

inline constexpr size_t kMaxCommandLength = 256;

class Console {
public:
    // server may be null; stats then shows the stations only.
    explicit Console(Simulator& simulator, const LineServer* server = nullptr)
        : simulator_(simulator), server_(server) {}

    struct Result {
        std::string output; // lines to print, each ending in '\n'; may be empty
        bool quit = false;
    };

    Result Execute(std::string_view line);

private:
    Result Fault(const std::vector<std::string_view>& words);
    Result Clear(const std::vector<std::string_view>& words);
    Result Set(const std::vector<std::string_view>& words);
    Result Get(const std::vector<std::string_view>& words);
    Result Load(const std::vector<std::string_view>& words);
    Result Stats(const std::vector<std::string_view>& words);

    Simulator& simulator_;
    const LineServer* server_;
};

// Reads one line of at most kMaxCommandLength characters (the rest of a longer line is
// read and discarded, and tooLong set). False at the end of the input with nothing read.
bool ReadCommandLine(std::istream& in, std::string& line, bool& tooLong);

} // namespace sim
