// Allocations that fail inside the module, loaded as a host loads it: every entry of
// DrvFuncTable answers its failure value instead of letting std::bad_alloc reach the host,
// a failed call leaves nothing half done that the next call trips over, and a worker thread
// whose allocation fails ends communication cleanly instead of the process.
#include "failing_new.h"
#include "host/vemor_sub.h"
#include "line_configuration.h"
#include "module_suite.h"
#include "simulated_line.h"
#include "test_files.h"
#include "wait_for.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

constexpr uint16_t kAnalog = 1;
constexpr int kFailed = -1;
// No entry allocates anywhere near this often; a call still failing then is a runaway.
constexpr uint64_t kMostAllocations = 2000;
const std::string kEnded = "\xC5\xEB\xBD\xC5\xC1\xBE\xB7\xE1"; // 통신종료, CP949
const std::string kLongDescription = "a description too long to sit inside a string";

// Calls `call` (nothing but the entry call) with its 1st, 2nd, ... allocation failing,
// until a call in which none failed; `check` then looks at each answer, with memory back.
// Returns how many calls had an allocation fail.
using Check = std::function<void(int32_t result, bool failed, uint64_t n)>;
uint64_t FailEachAllocationInTurn(const std::function<int32_t()>& call, const Check& check) {
    for (uint64_t n = 1; n <= kMostAllocations; ++n) {
        FailNthAllocationHere(n);
        const int32_t result = call();
        const bool failed = StopFailingAllocations();
        check(result, failed, n);
        if (!failed) {
            return n - 1;
        }
    }
    ADD_FAILURE() << "still allocating after " << kMostAllocations << " allocations";
    return kMostAllocations;
}

class EntryAllocTest : public ModuleSuite {
protected:
    void SetUp() override {
        line_ = std::make_unique<SimulatedLine>(std::vector<int>{1});
        line_->MapAs(1);
        host_->Clear();
        path_ = WriteLineConfiguration(folder_, "line.cfg", {{"PUMP1", 1, kLongDescription}});
        ASSERT_FALSE(path_.empty());
    }

    void TearDown() override {
        if (instance_ >= 0) {
            module_->Stop(instance_);
            line_->MapNowhere(1);
            module_->InitComm(instance_); // closes the port
        }
        line_.reset();
    }

    // An instance with a polled D0 tag and a P10 tag, started; false when it could not be.
    bool StartPolling(int32_t& accel) {
        instance_ = module_->Open(path_.c_str());
        if (instance_ < 0 || module_->InitComm(instance_) != 0) {
            return false;
        }
        module_->RegisterTag(instance_, "X.PUMP1", "D0", kAnalog, 0, 1);
        accel = module_->RegisterTag(instance_, "X.PUMP1", "P10", kAnalog, 0, 2);
        module_->BuildPollMasks(instance_);
        module_->Enable(instance_, nullptr, 1);
        return WaitFor([&] { return !host_->TagValues().empty(); }, 15000);
    }

    size_t LogCount(const std::string& fragment) const {
        size_t count = 0;
        for (const auto& line : host_->EventLog()) {
            count += line.text.find(fragment) != std::string::npos ? 1 : 0;
        }
        return count;
    }

    // Each call in which an allocation failed answers `failure`, or its success answer with
    // fewer event-log lines than a success writes (the work was done; only its report
    // could not be made); the call in which none failed answers `success`.
    Check Answers(int32_t failure, int32_t success, size_t linesOfSuccess = 0) {
        logSize_ = host_->EventLog().size();
        return [this, failure, success, linesOfSuccess](int32_t result, bool failed, uint64_t n) {
            const size_t lines = host_->EventLog().size() - logSize_;
            logSize_ += lines;
            if (!failed) {
                EXPECT_EQ(result, success);
                return;
            }
            if (result != failure) {
                EXPECT_EQ(result, success) << "allocation " << n;
                EXPECT_LT(lines, linesOfSuccess) << "allocation " << n << " failed unseen";
            }
        };
    }

    TempFolder folder_;
    std::string path_;
    std::unique_ptr<SimulatedLine> line_;
    int32_t instance_ = -1;
    size_t logSize_ = 0;
};

} // namespace

// A failed open consumes no index: the open that finally succeeds gets the next one. The file
// holds stations, so a failure while the station list is read must not leak the station just
// read (ASan's leak check runs over this case).
TEST_F(EntryAllocTest, OpenAnswersMinusOneAndConsumesNoIndex) {
    const std::string path = WriteLineConfiguration(
        folder_, "two.cfg", {{"PUMP1", 1, kLongDescription}, {"PUMP2", 2, kLongDescription}});
    ASSERT_FALSE(path.empty());
    const int32_t before = module_->Open(path.c_str());
    ASSERT_GE(before, 0);
    EXPECT_GT(FailEachAllocationInTurn([&] { return module_->Open(path.c_str()); },
                                       Answers(kFailed, before + 1)),
              0u);
}

TEST_F(EntryAllocTest, SetUpEntriesAnswerTheirFailureValue) {
    instance_ = module_->Open(path_.c_str());
    ASSERT_GE(instance_, 0);
    // Success: the port open, "port ready" logged.
    EXPECT_GT(FailEachAllocationInTurn([&] { return module_->InitComm(instance_); },
                                       Answers(kFailed, 0, 1)),
              0u);
    // Block 0, binding 0: the failed calls left no binding behind.
    EXPECT_GT(FailEachAllocationInTurn(
                  [&] { return module_->RegisterTag(instance_, "X.PUMP1", "D0", kAnalog, 0, 1); },
                  Answers(kFailed, 0)),
              0u);
    // No such station, whatever memory there is; message 7 says so.
    FailEachAllocationInTurn(
        [&] { return module_->RegisterTag(instance_, "X.NOBODY", "D0", kAnalog, 0, 9); },
        Answers(kFailed, kFailed));
    FailEachAllocationInTurn([&] { return module_->BuildPollMasks(instance_); },
                             Answers(kFailed, 0));
}

TEST_F(EntryAllocTest, RunTimeEntriesAnswerTheirFailureValue) {
    int32_t accel = -1;
    ASSERT_TRUE(StartPolling(accel));
    ASSERT_GE(accel, 0);
    CTagVal value(12.5);
    FailEachAllocationInTurn(
        [&] { return module_->WriteTag(instance_, static_cast<uint32_t>(accel), &value); },
        Answers(kFailed, 0));

    int32_t counters[4] = {};
    FailEachAllocationInTurn([&] { return module_->GetStatistics(instance_, "pump1", counters); },
                             Answers(kFailed, 0));

    std::string number;
    std::string description;
    EXPECT_GT(FailEachAllocationInTurn(
                  [&] {
                      module_->GetStationInfo(instance_, "PUMP1", number, description);
                      return 0;
                  },
                  Answers(0, 0)),
              0u)
        << "the long description needs memory";
    EXPECT_EQ(description, kLongDescription);

    // Success: stopped, "communication ended" logged.
    FailEachAllocationInTurn([&] { return module_->Stop(instance_); }, Answers(kFailed, 0, 1));
    EXPECT_LE(LogCount(kEnded), 1u);
    EXPECT_GE(module_->RegisterTag(instance_, "X.PUMP1", "D1", kAnalog, 0, 3), 0)
        << "communication stopped: tags can be registered again";
}

// Starting communication with its allocations failing one by one: each time the process
// lives, and communication either runs (values arrive) or stays stopped; it always stops.
TEST_F(EntryAllocTest, StartWithAFailingAllocationRunsOrStaysStopped) {
    int32_t accel = -1;
    ASSERT_TRUE(StartPolling(accel));
    ASSERT_EQ(module_->Stop(instance_), 0);
    host_->Clear();
    const uint64_t failingRuns = FailEachAllocationInTurn(
        [&] {
            module_->Enable(instance_, nullptr, 1);
            return 0;
        },
        [&](int32_t, bool failed, uint64_t n) {
            const bool runs = WaitFor([&] { return !host_->TagValues().empty(); }, 3000);
            EXPECT_TRUE(runs || failed) << "allocation " << n;
            EXPECT_EQ(module_->Stop(instance_), 0);
            host_->Clear();
        });
    EXPECT_GT(failingRuns, 0u);
}

// The worker threads' own allocations fail, one by one: a poll step that cannot queue is
// skipped, a thread that meets the failure elsewhere ends communication with message 2; the
// process lives, a stop returns, and the next start polls again.
TEST_F(EntryAllocTest, WorkerThreadAllocationFailureEndsCommunicationCleanly) {
    int32_t accel = -1;
    ASSERT_TRUE(StartPolling(accel));
    ASSERT_EQ(module_->Stop(instance_), 0);
    uint64_t failedRuns = 0;
    for (uint64_t n = 1; n <= 50; ++n) {
        host_->Clear();
        FailNthAllocationInNewThreads(n);
        module_->Enable(instance_, nullptr, 1);
        const bool outcome =
            WaitFor([&] { return !host_->TagValues().empty() || LogCount(kEnded) > 0; }, 15000);
        EXPECT_TRUE(outcome) << "values arrive or communication ends, allocation " << n;
        EXPECT_EQ(module_->Stop(instance_), 0);
        EXPECT_EQ(LogCount(kEnded), 1u) << "communication ended once, allocation " << n;
        if (!StopFailingAllocations()) {
            break;
        }
        ++failedRuns;
    }
    EXPECT_GT(failedRuns, 0u);
    host_->Clear();
    module_->Enable(instance_, nullptr, 1);
    EXPECT_TRUE(WaitFor([&] { return !host_->TagValues().empty(); }, 15000));
}
