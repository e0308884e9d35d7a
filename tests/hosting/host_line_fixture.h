// vfda-host as a user runs it: the host program in a child process, told where the line is,
// the drives simulated on a pseudo-terminal, and a configuration made with vfda-host config
// (the line on COM3, which each run maps to the terminal).
#pragma once

#include "run_program.h"
#include "simulated_line.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

inline std::string HostProgram() {
    return (BinFolder() / ProgramFile("vfda-host")).string();
}

class HostLineTest : public ::testing::Test {
protected:
    explicit HostLineTest(const std::vector<int>& stations)
        : line_(std::make_unique<SimulatedLine>(stations, DrivesAt4800())),
          drives_(line_->Drives()) {}

    // Drives that answer after 10 ms, and only while the line runs at their 4800 baud.
    static LineSettings DrivesAt4800() {
        LineSettings settings;
        settings.turnaroundMs = 10;
        settings.matchBaud = true;
        return settings;
    }

    // vfda-host config CONFIG CHANGE...
    void Configure(const std::vector<std::string>& change) {
        std::vector<std::string> words = {"config", config_};
        words.insert(words.end(), change.begin(), change.end());
        ASSERT_EQ(RunProgram(HostProgram(), words).exitCode, 0);
    }

    // A new configuration of the line on COM3 with these stations, each added with its
    // words (--number N, and whatever else the station takes).
    void ConfigureLine(const std::vector<std::vector<std::string>>& stations) {
        Configure({"init"});
        Configure({"set", "--port", "COM3"});
        for (const std::vector<std::string>& station : stations) {
            std::vector<std::string> words = {"add-station"};
            words.insert(words.end(), station.begin(), station.end());
            Configure(words);
        }
    }

    // The line's COM3 on the command line.
    std::string PortWord() const { return "COM3=" + line_->Path(); }

    TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
    std::unique_ptr<SimulatedLine> line_;
    sim::Simulator& drives_;
};

} // namespace testing_support
