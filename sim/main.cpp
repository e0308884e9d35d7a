// vfda-sim: DELTA VFD-A drives on a pseudo-terminal or a serial device, steered by
// commands on standard input.
#include "platform/clock.h"
#include "platform/pseudo_terminal.h"
#include "sim/console.h"
#include "sim/drive_setup.h"
#include "sim/line_server.h"
#include "sim/options.h"
#include "sim/sim_tool.h"
#include "sim/simulator.h"

#include <csignal>
#include <iostream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

volatile std::sig_atomic_t signalled = 0;

extern "C" void OnSignal(int) {
    signalled = 1;
}

// Trace lines come from the line server's thread, answers from the console: one lock keeps
// every line whole.
class Printer {
public:
    void Line(const std::string& text) {
        std::lock_guard guard(lock_);
        std::cout << text << '\n' << std::flush;
    }
    void Text(const std::string& text) {
        if (text.empty()) {
            return;
        }
        std::lock_guard guard(lock_);
        std::cout << text << std::flush;
    }

private:
    std::mutex lock_;
};

void RunConsole(sim::Console& console, Printer& printer) {
    std::string line;
    bool tooLong = false;
    while (sim::ReadCommandLine(std::cin, line, tooLong)) {
        if (tooLong) {
            printer.Line("error: line too long");
            continue;
        }
        const sim::Console::Result result = console.Execute(line);
        printer.Text(result.output);
        if (result.quit) {
            return;
        }
    }
}

void WaitForSignal() {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    while (signalled == 0) {
        platform::SleepMs(100);
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string_view> args(argv + 1, argv + argc);
    sim::Options options;
    std::string error;
    const bool ok = sim::ParseOptions(args, options, error);
    if (options.help) {
        std::cout << sim::HelpText();
        return sim::kExitOk;
    }
    if (!ok) {
        std::cerr << "vfda-sim: " << error << '\n' << sim::UsageText();
        return sim::kExitUsage;
    }
    if (options.version) {
        std::cout << "vfda-sim " << VFDA_VERSION << '\n';
        return 0;
    }
    std::unique_ptr<platform::TerminalLine> line =
        options.pseudoTerminal
            ? platform::TerminalLine::CreatePseudoTerminal(error)
            : platform::TerminalLine::OpenDevice(options.device, options.baud, error);
    if (!line) {
        std::cerr << "vfda-sim: " << error << '\n';
        return sim::kExitLineFailed;
    }
    std::unique_ptr<platform::TerminalLine> tap;
    if (options.tap) {
        tap = platform::TerminalLine::CreatePseudoTerminal(error);
        if (!tap) {
            std::cerr << "vfda-sim: the tap: " << error << '\n';
            return sim::kExitLineFailed;
        }
    }
    Printer printer;
    if (options.pseudoTerminal) {
        printer.Line("pty " + line->Path());
    }
    if (tap) {
        printer.Line("tap " + tap->Path());
    }
    sim::Simulator simulator(options.stations, options.baud);
    sim::SetUpDrives(simulator, options);
    sim::LineOptions lineOptions;
    lineOptions.baud = options.baud;
    lineOptions.wireTiming = options.wireTiming;
    lineOptions.turnaroundMs = options.turnaroundMs;
    lineOptions.frameGapMs = options.frameGapMs;
    lineOptions.matchBaud = options.matchBaud;
    lineOptions.tap = tap.get();
    if (options.trace) {
        lineOptions.trace = [&printer](const std::string& text) { printer.Line(text); };
    }
    sim::LineServer server(simulator, *line, lineOptions);
    server.Start();
    sim::Console console(simulator, &server);
    RunConsole(console, printer);
    if (options.keepRunning && std::cin.eof()) {
        WaitForSignal();
    }
    server.Stop();
    return 0;
}
