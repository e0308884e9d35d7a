// The commissioning commands as a user runs them: vfda-host in a child process, the drives
// simulated on a pseudo-terminal, every frame the drives received recorded.
#pragma once

#include "host_line_fixture.h"
#include "host_process.h"
#include "json_value.h"
#include "sim/parameter_table.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

class ParameterCommandTest : public HostLineTest {
protected:
    ParameterCommandTest() : HostLineTest({1, 2, 3}) {}

    void SetUp() override {
        ConfigureLine({{"PUMP1", "--number", "1"},
                       {"PUMP2", "--number", "2"},
                       {"PUMP3", "--number", "3"},
                       {"GONE", "--number", "9"}});
    }

    // vfda-host COMMAND CONFIG MORE... --port COM3=PTY
    ProgramResult Host(const std::string& command, std::vector<std::string> more) {
        std::vector<std::string> words = {command, config_};
        words.insert(words.end(), more.begin(), more.end());
        words.push_back("--port");
        words.push_back(PortWord());
        return RunProgram(HostProgram(), words);
    }

    // The JSON lines of an output that holds standard error too (the module's log lines),
    // each parsed strictly.
    static std::vector<JsonValue> EventLines(const std::string& merged) {
        std::string events;
        std::istringstream lines(merged);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind('{', 0) == 0) {
                events += line + "\n";
            }
        }
        return JsonLines(events);
    }

    // Every line of a --json output, each parsed strictly.
    static std::vector<JsonValue> JsonLines(const std::string& out) {
        std::vector<JsonValue> values;
        std::istringstream lines(out);
        std::string line;
        while (std::getline(lines, line)) {
            std::string error;
            std::optional<JsonValue> value = ParseJson(line, &error);
            EXPECT_TRUE(value) << error << " in " << line;
            if (value) {
                values.push_back(*value);
            }
        }
        return values;
    }

    // vfda-host COMMAND CONFIG MORE... --json --port COM3=PTY, sent SIGINT once it reported
    // its first write: its output lines, parsed, and its exit code.
    std::vector<JsonValue> InterruptedAfterFirstWrite(const std::string& command,
                                                      std::vector<std::string> more,
                                                      int& exitCode) {
        std::vector<std::string> words = {command, config_};
        words.insert(words.end(), more.begin(), more.end());
        for (const std::string& last : {std::string("--json"), std::string("--port"), PortWord()}) {
            words.push_back(last);
        }
        HostProcess host(HostProgram(), words);
        const bool wrote = host.WaitForLine([](const std::string& line) {
                                   return line.find("\"event\":\"written\"") != std::string::npos;
                               })
                               .has_value();
        EXPECT_TRUE(wrote) << host.AllOutput();
        host.Interrupt();
        exitCode = host.WaitForExit();
        return EventLines(host.AllOutput());
    }

    // The addresses the written and not-written events name, each as often as named.
    static std::multiset<std::string> WrittenOrNot(const std::vector<JsonValue>& lines) {
        std::multiset<std::string> named;
        for (const JsonValue& line : lines) {
            const std::string& event = line.Find("event")->text;
            if (event == "written" || event == "not-written") {
                named.insert(line.Find("address")->text);
            }
        }
        return named;
    }

    uint16_t DriveParameter(int station, int number) {
        uint16_t value = 0;
        drives_.GetWord(station, sim::Area::Parameter, number, value);
        return value;
    }

    // A backup file of what the drive holds now, as a backup names it, made here from the
    // drive's raw words and the simulator's own table of which parameters carry a decimal
    // (written apart from the module's, so a wrong table in the module cannot pass).
    std::string BackupOfDrive(int station, const std::string& name, const std::string& path,
                              int model = 0) {
        std::string text = "{\"format\":\"vfda-parameters/1\",\"station\":\"" + name +
                           "\",\"number\":" + std::to_string(station) +
                           ",\"model\":" + std::to_string(model) +
                           ",\"baud\":4800,\"read_at\":\"2026-12-08T15:00:00Z\",\"parameters\":[";
        for (int p = 0; p <= 80; ++p) {
            const uint16_t raw = DriveParameter(station, p);
            const bool scaled = sim::HasOneDecimal(sim::Parameter(p));
            std::ostringstream value;
            value << (scaled ? raw / 10.0 : raw);
            text += (p > 0 ? "," : "") + std::string("{\"parameter\":") + std::to_string(p) +
                    ",\"raw\":" + std::to_string(raw) + ",\"value\":" + value.str() + "}";
        }
        WriteText(path, text + "]}");
        return path;
    }

    // The frames the drives received whose letter is `letter`.
    size_t FramesWithLetter(char letter) {
        size_t count = 0;
        for (const std::string& frame : line_->Requests()) {
            count += !frame.empty() && frame[0] == letter ? 1 : 0;
        }
        return count;
    }
};

} // namespace testing_support
