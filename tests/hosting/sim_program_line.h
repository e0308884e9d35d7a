// A line of drives simulated by vfda-sim run as a program, with the options a test gives,
// and a line configuration for vfda-host naming its stations.
#pragma once

#include "host_process.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

class SimProgramLine {
public:
    // Starts `vfda-sim --pty --no-wire-timing OPTIONS...` and waits for its pseudo-terminal
    // (and with --tap for its tap's).
    explicit SimProgramLine(std::vector<std::string> options) {
        const bool tap = std::find(options.begin(), options.end(), "--tap") != options.end();
        options.insert(options.begin(), {"--pty", "--no-wire-timing"});
        sim_ = std::make_unique<HostProcess>((BinFolder() / ProgramFile("vfda-sim")).string(),
                                             options);
        const auto announced =
            sim_->WaitForLine([](const std::string& line) { return line.rfind("pty ", 0) == 0; });
        if (announced) {
            path_ = announced->substr(4);
        }
        const auto tapped = tap ? sim_->WaitForLine([](const std::string& line) {
            return line.rfind("tap ", 0) == 0;
        })
                                : std::nullopt;
        if (tapped) {
            tapPath_ = tapped->substr(4);
        } else if (tap) {
            path_.clear();
        }
    }

    bool Ready() const { return !path_.empty(); }
    const std::string& Path() const { return path_; }
    const std::string& TapPath() const { return tapPath_; }
    // A command on the simulator's console ("fault 2 silent").
    void Type(const std::string& command) { sim_->Type(command); }

    // A configuration on COM3 with one station a (name, number) pair.
    static void Configure(const std::string& config,
                          const std::vector<std::pair<std::string, int>>& stations) {
        std::vector<std::vector<std::string>> changes = {{"init"}, {"set", "--port", "COM3"}};
        for (const auto& [name, number] : stations) {
            changes.push_back({"add-station", name, "--number", std::to_string(number)});
        }
        for (const std::vector<std::string>& change : changes) {
            std::vector<std::string> words = {"config", config};
            words.insert(words.end(), change.begin(), change.end());
            ASSERT_EQ(RunProgram(Host(), words).exitCode, 0);
        }
    }

    static std::string Host() { return (BinFolder() / ProgramFile("vfda-host")).string(); }

private:
    std::unique_ptr<HostProcess> sim_;
    std::string path_;
    std::string tapPath_;
};

} // namespace testing_support
