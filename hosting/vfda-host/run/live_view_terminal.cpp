// POSIX: the live view drawn on the terminal vfda-host runs in.
#include "console_commands.h"
#include "interrupt.h"
#include "live_view.h"
#include "live_view_text.h"
#include "platform/raw_terminal.h"
#include "terminal_kind.h"
#include "toolkit/ui/terminal/screen_buffer.h"

#include <algorithm>
#include <chrono>
#include <string_view>

namespace vfdahost {
namespace {

using Clock = std::chrono::steady_clock;
using platform::KeyCode;
using platform::KeyPress;

constexpr std::chrono::milliseconds kRedrawInterval(250);
constexpr uint32_t kKeyWaitMs = 50;
// Rows above and below the stations: the title, the column heads; the latest event, the keys.
constexpr int kRowsAbove = 2;
constexpr int kRowsBelow = 2;
constexpr int kSmallestRows = kRowsAbove + kRowsBelow + 1;

// Where each column starts, and the widest a command line may grow.
constexpr int kNameColumn = 1;
constexpr int kNumberColumn = 12;
constexpr int kStateColumn = 15;
constexpr int kLastColumn = 26;
constexpr int kMedianColumn = 32;
constexpr int kFailuresColumn = 38;
constexpr int kValuesColumn = 48;
constexpr size_t kLongestCommand = 200;

constexpr std::string_view kKeys =
    " Up/Down select  e enable/disable  r read parameters  : command  q quit";

struct ViewState {
    size_t selected = 0;
    size_t first = 0; // the first station shown
    bool typing = false;
    std::string command;
};

void DrawStation(ui::ScreenBuffer& screen, int row, const HostSession::StationView& station,
                 bool selected) {
    const uint8_t style = selected ? ui::kReverse : ui::kPlain;
    if (selected) {
        screen.Fill(row, 0, screen.Columns(), " ", style);
    }
    const StationDiagnosis& figures = station.diagnosis;
    screen.Put(row, kNameColumn, station.name, style, kNumberColumn - 1);
    screen.Put(row, kNumberColumn, std::to_string(station.number), style, kStateColumn - 1);
    screen.Put(row, kStateColumn, LinkStateText(station), style, kLastColumn - 1);
    screen.Put(row, kLastColumn, MillisecondsText(figures.lastMs), style, kMedianColumn - 1);
    const std::optional<double> median =
        figures.response ? std::optional(figures.response->medianMs) : std::nullopt;
    screen.Put(row, kMedianColumn, MillisecondsText(median), style, kFailuresColumn - 1);
    screen.Put(row, kFailuresColumn, FailuresText(figures), style, kValuesColumn - 1);
    screen.Put(row, kValuesColumn, ValuesText(station), style);
}

// Keeps the selected station among the rows shown.
void Scroll(ViewState& state, size_t stationRows) {
    if (state.selected < state.first) {
        state.first = state.selected;
    } else if (stationRows > 0 && state.selected >= state.first + stationRows) {
        state.first = state.selected - stationRows + 1;
    }
}

std::string Draw(const std::vector<HostSession::StationView>& stations, ViewState& state,
                 const std::string& title, const std::string& latest, int rows, int columns) {
    ui::ScreenBuffer screen;
    screen.Resize(rows, columns);
    screen.Fill(0, 0, columns, " ", ui::kReverse);
    screen.Put(0, 1, title, ui::kReverse);
    screen.Put(1, kNameColumn, "STATION", ui::kBold);
    screen.Put(1, kNumberColumn, "NO", ui::kBold);
    screen.Put(1, kStateColumn, "LINK", ui::kBold);
    screen.Put(1, kLastColumn, "LAST", ui::kBold);
    screen.Put(1, kMedianColumn, "MED", ui::kBold);
    screen.Put(1, kFailuresColumn, "FAILURES", ui::kBold);
    screen.Put(1, kValuesColumn, "VALUES", ui::kBold);
    const size_t stationRows = static_cast<size_t>(std::max(0, rows - kRowsAbove - kRowsBelow));
    Scroll(state, stationRows);
    for (size_t at = state.first; at < stations.size() && at < state.first + stationRows; ++at) {
        DrawStation(screen, kRowsAbove + static_cast<int>(at - state.first), stations[at],
                    at == state.selected);
    }
    if (state.first + stationRows < stations.size()) {
        screen.Put(rows - kRowsBelow - 1, columns - 8, " more v", ui::kDim);
    }
    screen.Put(rows - 2, 1, latest, ui::kDim);
    const std::string bottom = state.typing ? ":" + state.command : std::string(kKeys);
    screen.Put(rows - 1, 0, bottom, state.typing ? ui::kPlain : ui::kReverse);
    const int cursor = std::min(columns - 1, ui::ScreenBuffer::TextWidth(bottom));
    return screen.Render(rows - 1, cursor, state.typing);
}

// Removes the last character (all its UTF-8 bytes).
void DropLastCharacter(std::string& text) {
    while (!text.empty()) {
        const unsigned char last = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((last & 0xC0) != 0x80) {
            return;
        }
    }
}

enum class KeyOutcome { Go, Quit, Interrupt, Ended };

KeyOutcome TypeCommand(const KeyPress& key, ViewState& state, HostSession& session,
                       RunEvents& events) {
    switch (key.code) {
    case KeyCode::Text:
        if (state.command.size() + key.text.size() <= kLongestCommand) {
            state.command += key.text;
        }
        return KeyOutcome::Go;
    case KeyCode::Backspace:
        DropLastCharacter(state.command);
        return KeyOutcome::Go;
    case KeyCode::Escape:
        state.typing = false;
        return KeyOutcome::Go;
    case KeyCode::Enter: {
        state.typing = false;
        const CommandOutcome outcome = ExecuteCommand(state.command, session, events);
        return outcome == CommandOutcome::Quit ? KeyOutcome::Quit : KeyOutcome::Go;
    }
    default:
        return KeyOutcome::Go;
    }
}

KeyOutcome TakeKey(const KeyPress& key, ViewState& state, HostSession& session, RunEvents& events,
                   const std::vector<HostSession::StationView>& stations) {
    if (key.code == KeyCode::Interrupt) {
        return KeyOutcome::Interrupt;
    }
    if (key.code == KeyCode::Closed) {
        return KeyOutcome::Ended;
    }
    if (state.typing) {
        return TypeCommand(key, state, session, events);
    }
    const size_t last = stations.empty() ? 0 : stations.size() - 1;
    const bool text = key.code == KeyCode::Text;
    if (key.code == KeyCode::Up || (text && key.text == "k")) {
        state.selected = state.selected > 0 ? state.selected - 1 : 0;
    } else if (key.code == KeyCode::Down || (text && key.text == "j")) {
        state.selected = std::min(state.selected + 1, last);
    } else if (key.code == KeyCode::Home) {
        state.selected = 0;
    } else if (key.code == KeyCode::End) {
        state.selected = last;
    } else if (text && key.text == "q") {
        return KeyOutcome::Quit;
    } else if (text && key.text == ":") {
        state.typing = true;
        state.command.clear();
    } else if (text && key.text == "e" && !stations.empty()) {
        const HostSession::StationView& station = stations[state.selected];
        session.EnableStation(station.name, station.status < 0 ? 1 : 0);
    } else if (text && key.text == "r" && !stations.empty()) {
        session.ReadParameters(stations[state.selected].name);
    }
    return KeyOutcome::Go;
}

} // namespace

bool LiveViewAvailable(std::string& why) {
    if (!platform::RawTerminal::Available()) {
        why = "standard input and output are not a terminal";
        return false;
    }
    if (const std::optional<std::string> term = TermCannotDraw()) {
        why = "the terminal cannot move its cursor (TERM is " + *term + ")";
        return false;
    }
    return true;
}

std::string RunLiveView(HostSession& session, RunEvents& events, const LiveViewEvents& news,
                        const std::string& title, std::optional<long> seconds) {
    std::string why;
    const std::unique_ptr<platform::RawTerminal> terminal = platform::RawTerminal::Open(why);
    if (!terminal) {
        events.Error("--view: " + why);
        return "end of input";
    }
    const auto deadline = Clock::now() + std::chrono::seconds(seconds.value_or(0));
    ViewState state;
    std::vector<HostSession::StationView> stations = session.Overview();
    auto nextDraw = Clock::now();
    for (;;) {
        if (Interrupted()) {
            return InterruptReason();
        }
        if (seconds && Clock::now() >= deadline) {
            return "seconds";
        }
        session.ForgetHistory();
        session.AdvanceParameterReads();
        session.AdvanceBackOff();
        if (Clock::now() >= nextDraw || terminal->TakeResized()) {
            stations = session.Overview();
            int rows = 24;
            int columns = 80;
            terminal->Size(rows, columns);
            rows = std::max(rows, kSmallestRows);
            terminal->Write(Draw(stations, state, title, news.Latest(), rows, columns));
            nextDraw = Clock::now() + kRedrawInterval;
        }
        const KeyPress key = terminal->ReadKey(kKeyWaitMs);
        if (key.code == KeyCode::None) {
            continue;
        }
        switch (TakeKey(key, state, session, events, stations)) {
        case KeyOutcome::Quit:
            return "quit";
        case KeyOutcome::Interrupt:
            return "interrupt";
        case KeyOutcome::Ended:
            return "end of input";
        case KeyOutcome::Go:
            nextDraw = Clock::now(); // show what the key did at once
            break;
        }
    }
}

} // namespace vfdahost
