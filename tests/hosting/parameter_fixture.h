// The commissioning commands as a user runs them: vfda-host in a child process, the drives
// simulated on a pseudo-terminal, every frame the drives received recorded.
#pragma once

#include "comm/scaled_parameters.h"
#include "json_value.h"
#include "platform/pseudo_terminal.h"
#include "run_program.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

class ParameterCommandTest : public ::testing::Test {
protected:
    ParameterCommandTest() : drives_({1, 2, 3}, 4800) {}

    void SetUp() override {
        std::string error;
        line_ = platform::TerminalLine::CreatePseudoTerminal(error);
        ASSERT_TRUE(line_) << error;
        sim::LineOptions options;
        options.wireTiming = false;
        options.observer = [this](sim::LineMoment moment, std::span<const uint8_t> bytes,
                                  std::chrono::steady_clock::time_point) {
            if (moment == sim::LineMoment::RequestReceived) {
                std::lock_guard guard(framesLock_);
                frames_.emplace_back(bytes.begin(), bytes.end());
            }
        };
        server_ = std::make_unique<sim::LineServer>(drives_, *line_, options);
        server_->Start();
        for (const std::vector<std::string>& change : {std::vector<std::string>{"init"},
                                                       {"set", "--port", "COM3"},
                                                       {"add-station", "PUMP1", "--number", "1"},
                                                       {"add-station", "PUMP2", "--number", "2"},
                                                       {"add-station", "PUMP3", "--number", "3"},
                                                       {"add-station", "GONE", "--number", "9"}}) {
            std::vector<std::string> words = {"config", config_};
            words.insert(words.end(), change.begin(), change.end());
            ASSERT_EQ(RunProgram(Host(), words).exitCode, 0);
        }
    }

    void TearDown() override {
        if (server_) {
            server_->Stop();
        }
    }

    static std::string Host() { return (BinFolder() / ProgramFile("vfda-host")).string(); }

    // vfda-host COMMAND CONFIG MORE... --port COM3=PTY
    ProgramResult Host(const std::string& command, std::vector<std::string> more) {
        std::vector<std::string> words = {command, config_};
        words.insert(words.end(), more.begin(), more.end());
        words.push_back("--port");
        words.push_back("COM3=" + line_->Path());
        return RunProgram(Host(), words);
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

    uint16_t DriveParameter(int station, int number) {
        uint16_t value = 0;
        drives_.GetWord(station, sim::Area::Parameter, number, value);
        return value;
    }

    // A backup file of what the drive holds now, as a backup names it, made here from the
    // drive's raw words and the module's table of scaled parameters.
    std::string BackupOfDrive(int station, const std::string& name, const std::string& path,
                              int model = 0) {
        std::string text = "{\"format\":\"vfda-parameters/1\",\"station\":\"" + name +
                           "\",\"number\":" + std::to_string(station) +
                           ",\"model\":" + std::to_string(model) +
                           ",\"baud\":4800,\"read_at\":\"2026-12-08T15:00:00Z\",\"parameters\":[";
        for (int p = 0; p <= 80; ++p) {
            const uint16_t raw = DriveParameter(station, p);
            const bool scaled = comm::ScaledParameters[static_cast<size_t>(p)];
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
        std::lock_guard guard(framesLock_);
        size_t count = 0;
        for (const std::string& frame : frames_) {
            count += !frame.empty() && frame[0] == letter ? 1 : 0;
        }
        return count;
    }

    sim::Simulator drives_;
    std::unique_ptr<platform::TerminalLine> line_;
    std::unique_ptr<sim::LineServer> server_;
    std::mutex framesLock_;
    std::vector<std::string> frames_;
    TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
};

} // namespace testing_support
