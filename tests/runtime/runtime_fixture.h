// The module at run time, loaded as a host loads it, against simulated drives on a
// pseudo-terminal: what the suites of this folder share.
#pragma once

#include "config/vfda_drv_doc.h"
#include "host/vemor_sub.h"
#include "line_configuration.h"
#include "module_line_fixture.h"
#include "module_suite.h"
#include "simulated_line.h"
#include "test_files.h"
#include "wait_for.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testing_support {

// Texts of the event log, in CP949.
inline const std::string kStarted = "\xC5\xEB\xBD\xC5\xBD\xC3\xC0\xDB"; // 통신시작
inline const std::string kEnded = "\xC5\xEB\xBD\xC5\xC1\xBE\xB7\xE1";   // 통신종료
inline const std::string kPortReady = "\xC5\xEB\xBD\xC5\xC6\xF7\xC6\xAE \xC3\xCA\xB1\xE2\xC8\xAD";
inline const std::string kLinkLost = "]\xB0\xFA \xC5\xEB\xBD\xC5\xC7\xD2 \xBC\xF6"; // ]과 통신할 수
inline const std::string kRestored = "\xBA\xB9\xB1\xB8";                            // 복구
inline const std::string kTimeout = "Time Out";
inline const std::string kNotWritable = "\xBE\xB2\xB1\xE2 \xB0\xA1\xB4\xC9\xC7\xD1"; // 쓰기 가능한
inline const std::string kDriveRefused = "\xBF\xA1\xB7\xAF\xC4\xDA\xB5\xE5";         // 에러코드
inline const std::string kCannotSend = "\xBC\xDB\xBD\xC5\xC7\xD2 \xBC\xF6"; // 송신할 수

class RuntimeTest : public testing_support::ModuleSuite {
protected:
    static bool WaitFor(const std::function<bool()>& condition, int milliseconds = 15000) {
        return testing_support::WaitFor(condition, milliseconds);
    }

    void SetUp() override { UseLine(LineSettings{}); }

    // Replaces the line (none yet, or the one SetUp made) with one of these settings.
    void UseLine(const LineSettings& settings) {
        line_.reset();
        line_ = std::make_unique<SimulatedLine>(std::vector<int>{1, 2}, settings);
        line_->MapAs(1);
        host_->Clear();
    }

    void TearDown() override {
        if (instance_ >= 0) {
            module_->Stop(instance_);
            line_->MapNowhere(1);
            module_->InitComm(instance_); // replaces the channel, which closes its port
        }
        line_.reset();
    }

    // PUMP1 and PUMP2 answer; GHOST (number 7) is on no line.
    int32_t OpenLine(int32_t portIndex = 0, bool withGhost = false, int32_t baudIndex = 2) {
        std::vector<StationEntry> stations = {{"PUMP1", 1}, {"PUMP2", 2}};
        if (withGhost) {
            stations.emplace_back("GHOST", 7);
        }
        CVfdaDrvDoc document;
        DescribeLine(document, folder_.File("line.cfg"), stations, portIndex, baudIndex);
        EXPECT_TRUE(document.SaveFile());
        instance_ = module_->Open(document.Path().c_str());
        return instance_;
    }

    int32_t Tag(uint32_t id, const std::string& name, const char* device, const char* address,
                uint16_t type = kAnalog) {
        host_->SetTagName(id, name);
        return module_->RegisterTag(instance_, device, address, type, 0, id);
    }

    void Start() {
        module_->BuildPollMasks(instance_);
        module_->Enable(instance_, nullptr, 1);
    }

    int32_t Write(int32_t handle, double value) {
        CTagVal tag(value);
        return module_->WriteTag(instance_, static_cast<uint32_t>(handle), &tag);
    }

    // The latest value the tag database received for the tag, if any.
    std::optional<double> Latest(uint32_t id) const { return LatestValue(*host_, id); }

    bool WaitForValue(uint32_t id, double expected) {
        return testing_support::WaitForValue(*host_, id, expected, 15000);
    }

    // The lines of the event log that contain the fragment.
    size_t LogCount(const std::string& fragment) const {
        return LinesWith(EventLogTexts(*host_), fragment).size();
    }

    uint16_t DriveWord(int station, sim::Area area, int number) {
        uint16_t word = 0;
        line_->Drives().GetWord(station, area, number, word);
        return word;
    }

    // PUMP1 falls silent while the line carries noise that never holds its letter: each
    // receive must still end at its limit, and so must the stop, which is asserted to
    // return with a generous bound.
    void ExpectStopReturnsOnANoisyLine(int32_t baudIndex) {
        ASSERT_GE(OpenLine(0, false, baudIndex), 0);
        ASSERT_EQ(module_->InitComm(instance_), 0);
        Tag(1, "F1", "X.PUMP1", "D0");
        Start();
        ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value(); }));
        line_->Drives().SetFault(2, sim::FaultKind::NoiseStream);
        line_->Drives().SetFault(1, sim::FaultKind::Silent);
        ASSERT_TRUE(WaitFor([&] { return LogCount(kTimeout) >= 2; }));
        EXPECT_GT(line_->NoiseBytesSent(), 0u);
        const auto before = std::chrono::steady_clock::now();
        EXPECT_EQ(module_->Stop(instance_), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
        EXPECT_EQ(LogCount(kEnded), 1u);
    }

    TempFolder folder_;
    std::unique_ptr<SimulatedLine> line_;
    int32_t instance_ = -1;
};

} // namespace testing_support
