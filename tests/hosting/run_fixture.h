// vfda-host run as a user runs it: the host program in a child process, the drives simulated
// on a pseudo-terminal, commands typed on standard input. Every line of a --json run is
// checked to be a JSON object when the test ends.
#pragma once

#include "host_line_fixture.h"
#include "host_process.h"
#include "json_lines.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_support {

using LineMatch = std::function<bool(const std::string&)>;

// Matches a JSON line of the event with all the fields.
inline LineMatch Event(const std::string& event, const Fields& fields) {
    return [=](const std::string& line) { return IsEvent(line, event, fields); };
}

inline LineMatch Containing(const std::string& text) {
    return [=](const std::string& line) { return line.find(text) != std::string::npos; };
}

inline const char* const kTags = "name,type,device,address\n"
                                 "CMD1,analog,PUMP1,D0\n"
                                 "OUT1,analog,PUMP1,D1\n"
                                 "RUN1,digital,PUMP1,D4.0\n"
                                 "ACC1,analog,PUMP1,P10\n"
                                 "LOST,analog,PUMP9,D1\n"
                                 "OUT2,analog,LINE.PUMP2,D1\n";

class VfdaHostRunTest : public HostLineTest {
protected:
    VfdaHostRunTest() : HostLineTest({1, 2}) {}

    void SetUp() override {
        ConfigureLine(
            {{"PUMP1", "--number", "1", "--description", "급수 펌프"}, {"PUMP2", "--number", "2"}});
        WriteText(tags_, kTags);
    }

    void TearDown() override {
        for (const std::shared_ptr<HostProcess>& host : jsonHosts_) {
            host->CloseInput();
            host->WaitForExit();
            EXPECT_TRUE(AllJsonObjects(host->Lines()));
        }
    }

    std::vector<std::string> RunWords(const std::vector<std::string>& more) {
        std::vector<std::string> words = {"run", config_, "--tags", tags_, "--port", PortWord()};
        words.insert(words.end(), more.begin(), more.end());
        return words;
    }

    std::shared_ptr<HostProcess> Run(const std::vector<std::string>& more = {},
                                     const HostProcess::Options& options = {}) {
        auto host = std::make_shared<HostProcess>(HostProgram(), RunWords(more), options);
        EXPECT_TRUE(host->Started());
        return host;
    }

    std::shared_ptr<HostProcess> RunJson(std::vector<std::string> more = {},
                                         const HostProcess::Options& options = {}) {
        more.push_back("--json");
        auto host = Run(more, options);
        jsonHosts_.push_back(host);
        return host;
    }

    // Waits for a line; on failure shows everything the host printed.
    std::string Expect(HostProcess& host, const LineMatch& match, const char* what,
                       size_t from = 0) {
        const auto line = host.WaitForLine(match, from);
        EXPECT_TRUE(line) << "no " << what << " in:\n" << host.AllOutput();
        return line.value_or("");
    }

    uint16_t DriveWord(int station, sim::Area area, int number) {
        uint16_t value = 0;
        EXPECT_EQ(drives_.GetWord(station, area, number, value), sim::Outcome::Ok);
        return value;
    }

    // Every request frame the drives saw, in order.
    std::vector<std::string> Requests() { return line_->Requests(); }

    std::string tags_ = folder_.File("tags.csv");
    std::vector<std::shared_ptr<HostProcess>> jsonHosts_;
};

} // namespace testing_support
