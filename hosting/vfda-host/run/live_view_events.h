// The events a live view shows below its table: the latest line of the event log, of a
// command's result or of an error, as text. Called from the module's threads and the host's.
#pragma once

#include "run_event_kinds.h"

#include <mutex>
#include <string>

namespace vfdahost {

class LiveViewEvents final : public IgnoringRunEvents {
public:
    void Log(uint32_t flags, const std::string& cp949) override;
    void Result(const std::string& command, const JsonFields& fields, const std::string& what,
                int32_t result) override;
    void Error(const std::string& text) override;
    void BackOff(BackOffNews news, const std::string& station,
                 const BackOffFigures& figures) override;
    // The latest line.
    std::string Latest() const;

private:
    void Say(const std::string& text);

    mutable std::mutex lock_;
    std::string latest_;
};

} // namespace vfdahost
