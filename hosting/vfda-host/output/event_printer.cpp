#include "event_printer.h"

#include "console_output.h"
#include "interrupt.h"
#include "text_output.h"
#include "wall_clock.h"

#include <string>

namespace vfdahost {

EventPrinter::EventPrinter(OutputForm form, std::FILE* out)
    : EventPrinter(form, TimeStamps::Run, out) {}

EventPrinter::EventPrinter(OutputForm form, TimeStamps stamps, std::FILE* out)
    : form_(form), stamps_(stamps), out_(out), start_(std::chrono::steady_clock::now()) {}

int64_t EventPrinter::ElapsedMs() const {
    const auto elapsed = std::chrono::steady_clock::now() - start_;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}

void EventPrinter::Print(std::string_view event, const JsonFields& fields, std::string_view text) {
    const int64_t ms = ElapsedMs();
    const std::string wall = IsoUtcTime(std::chrono::system_clock::now());
    std::string line;
    if (form_ == OutputForm::Json) {
        line = "{\"event\":" + JsonString(event) + ",\"t\":" + std::to_string(ms) + ",\"time\":\"" +
               wall + "\"";
        if (!fields.Body().empty()) {
            line += "," + fields.Body();
        }
        line += "}\n";
    } else if (stamps_ == TimeStamps::Wall) {
        line = wall + "  " + TextForPeople(text) + "\n";
    } else {
        char stamp[32];
        std::snprintf(stamp, sizeof(stamp), "%8lld.%03lld  ", static_cast<long long>(ms / 1000),
                      static_cast<long long>(ms % 1000));
        line = stamp;
        line += TextForPeople(text);
        line += '\n';
    }
    std::lock_guard guard(lock_);
    if (failed_.load() || muted_.load()) {
        return;
    }
    const bool written = OutputText(out_, line);
    if (std::fflush(out_) != 0 || !written) {
        failed_.store(true);
        NoteOutputFailed();
    }
}

} // namespace vfdahost
