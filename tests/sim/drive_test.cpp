// The drive model: ramps, status, trips and the parameter table, stepped by hand.
#include "sim/drive.h"
#include "sim/parameter_table.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using sim::Drive;
using sim::Outcome;

uint16_t Monitor(const Drive& drive, int number) {
    uint16_t value = 0;
    EXPECT_EQ(drive.ReadMonitor(number, value), Outcome::Ok);
    return value;
}

uint16_t OutputFrequency(const Drive& drive) {
    return Monitor(drive, sim::monitor::kOutputFrequency);
}

class DriveTest : public ::testing::Test {
protected:
    uint32_t now = 5000;
    Drive drive{1, 2, now};

    void Step(uint32_t ms) { drive.Advance(now += ms); }
};

TEST_F(DriveTest, AcceleratesAtMaximumFrequencyPerAccelerationTime) {
    // 60.0 Hz in 10.0 s: 6 Hz a second.
    ASSERT_EQ(drive.Command(sim::command::kRun, 300), Outcome::Ok);
    Step(2500);
    EXPECT_EQ(OutputFrequency(drive), 150);
    Step(2500);
    EXPECT_EQ(OutputFrequency(drive), 300);
    Step(10'000);
    EXPECT_EQ(OutputFrequency(drive), 300); // holds at the command
}

TEST_F(DriveTest, RampIsTheSameInOneStepOrMany) {
    Drive stepped{1, 2, 0};
    Drive once{1, 2, 0};
    stepped.Command(sim::command::kRun, 600);
    once.Command(sim::command::kRun, 600);
    for (uint32_t t = 7; t <= 7 * 500; t += 7) {
        stepped.Advance(t);
    }
    once.Advance(3500);
    EXPECT_EQ(OutputFrequency(stepped), OutputFrequency(once));
    EXPECT_EQ(OutputFrequency(once), 210);
}

TEST_F(DriveTest, DeceleratesWithItsOwnTimeAndCoastsWhenTold) {
    ASSERT_EQ(drive.WriteParameter(sim::param::kDecelerationTime, 50), Outcome::Ok); // 5.0 s
    drive.Command(sim::command::kRun, 600);
    Step(20'000);
    drive.Command(sim::command::kStop, 600);
    Step(2500);
    EXPECT_EQ(OutputFrequency(drive), 300);
    EXPECT_NE(Monitor(drive, sim::monitor::kStatus) & sim::status::kRunning, 0); // still ramping
    Step(2500);
    EXPECT_EQ(OutputFrequency(drive), 0);
    EXPECT_EQ(Monitor(drive, sim::monitor::kStatus) & sim::status::kRunning, 0);

    drive.WriteParameter(sim::param::kStopMethod, 1);
    drive.Command(sim::command::kRun, 600);
    Step(20'000);
    drive.Command(sim::command::kStop, 600);
    EXPECT_EQ(OutputFrequency(drive), 0);
}

TEST_F(DriveTest, ReversingRampsDownThroughZeroAndUpAgain) {
    drive.Command(sim::command::kRun, 600);
    Step(20'000);
    drive.Command(sim::command::kReverse, 600);
    Step(5000); // half way down
    EXPECT_EQ(OutputFrequency(drive), 300);
    Step(7500); // 5 s more to zero, then 2.5 s up in reverse
    EXPECT_EQ(OutputFrequency(drive), 150);
    EXPECT_NE(Monitor(drive, sim::monitor::kStatus) & sim::status::kReverse, 0);
}

TEST_F(DriveTest, FrequencyLimitsBoundTheTarget) {
    drive.WriteParameter(sim::param::kUpperFrequencyLimit, 450);
    drive.Command(sim::command::kRun, 600);
    Step(60'000);
    EXPECT_EQ(OutputFrequency(drive), 450);
    EXPECT_NE(Monitor(drive, sim::monitor::kStatus) & sim::status::kAtFrequency, 0);
}

TEST_F(DriveTest, CurrentFollowsTheLoadAndRisesWhileAccelerating) {
    EXPECT_EQ(Monitor(drive, sim::monitor::kOutputCurrent), 0); // stopped
    drive.Command(sim::command::kRun, 600);
    Step(1000);
    EXPECT_EQ(Monitor(drive, sim::monitor::kOutputCurrent), 60); // 3.5 A + 2.5 A boost
    Step(20'000);
    EXPECT_EQ(Monitor(drive, sim::monitor::kOutputCurrent), 35);
    drive.SetLoadPercent(100);
    EXPECT_EQ(Monitor(drive, sim::monitor::kOutputCurrent), 50);
}

TEST_F(DriveTest, TripStopsTheMotorAndNeedsAReset) {
    drive.Command(sim::command::kRun, 600);
    Step(20'000);
    ASSERT_EQ(drive.ForceMonitor(sim::monitor::kErrorCode, 4), Outcome::Ok);
    EXPECT_EQ(OutputFrequency(drive), 0);
    EXPECT_EQ(drive.Status().errorCode, 4);
    EXPECT_NE(drive.Status().bitmap & sim::status::kTripped, 0);
    uint16_t record = 0;
    drive.ReadParameter(sim::param::kLastFault, record);
    EXPECT_EQ(record, 4);

    EXPECT_EQ(drive.Command(sim::command::kRun, 600), Outcome::NotAllowed);
    EXPECT_EQ(drive.Command(sim::command::kReset, 600), Outcome::Ok);
    EXPECT_EQ(drive.Status().errorCode, 0);
    Step(1000);
    EXPECT_EQ(OutputFrequency(drive), 0) << "a reset alone does not start the motor";
    EXPECT_EQ(drive.Command(sim::command::kRun, 600), Outcome::Ok);
    Step(1000);
    EXPECT_EQ(OutputFrequency(drive), 60);
}

TEST_F(DriveTest, ReverseInhibitRefusesAReverseRun) {
    drive.WriteParameter(sim::param::kReverseInhibit, 1);
    EXPECT_EQ(drive.Command(sim::command::kReverse, 100), Outcome::NotAllowed);
    EXPECT_EQ(drive.Command(5, 100), Outcome::NotAllowed) << "a reverse jog";
    EXPECT_EQ(drive.Command(sim::command::kRun, 100), Outcome::Ok);
}

TEST_F(DriveTest, RestoreDefaultsPutsSettingsBackButKeepsTheFaultRecords) {
    drive.WriteParameter(3, 500);
    drive.ForceMonitor(sim::monitor::kErrorCode, 2);
    EXPECT_EQ(drive.WriteParameter(sim::param::kRestoreDefaults, 10), Outcome::Ok);
    uint16_t value = 0;
    drive.ReadParameter(3, value);
    EXPECT_EQ(value, 600);
    drive.ReadParameter(sim::param::kRestoreDefaults, value);
    EXPECT_EQ(value, 0);
    drive.ReadParameter(sim::param::kLastFault, value);
    EXPECT_EQ(value, 2);
}

TEST_F(DriveTest, OperatorMaySetReadOnlyWordsButNotDerivedOnes) {
    EXPECT_EQ(drive.ForceParameter(sim::param::kLastFault, 7), Outcome::Ok);
    EXPECT_EQ(drive.ForceParameter(sim::param::kStationAddress, 3), Outcome::NotAllowed);
    EXPECT_EQ(drive.ForceParameter(5, 9999), Outcome::OutOfRange);
    EXPECT_EQ(drive.ForceMonitor(sim::monitor::kOutputFrequency, 10), Outcome::NotAllowed);
    EXPECT_EQ(drive.ForceMonitor(7, 0), Outcome::UnknownNumber);
}

// The driver shows these parameters with one decimal place; the drive's units must agree.
TEST(ParameterTable, OneDecimalUnitsMatchTheParametersTheDriverScales) {
    const std::set<int> scaled = {3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 16,
                                  17, 18, 19, 20, 21, 22, 23, 29, 30, 31, 33, 34, 36,
                                  37, 47, 48, 49, 55, 62, 65, 67, 68, 69, 70};
    for (int number = 0; number <= sim::kLastParameter; ++number) {
        EXPECT_EQ(sim::HasOneDecimal(sim::Parameter(number)), scaled.count(number) == 1)
            << "P" << number;
    }
}

TEST(ParameterTable, DefaultsLieInTheirRangesAndFitFourDigits) {
    for (int number = 0; number <= sim::kLastParameter; ++number) {
        const sim::ParameterInfo& info = sim::Parameter(number);
        EXPECT_LE(info.minimum, info.factoryDefault) << "P" << number;
        EXPECT_LE(info.factoryDefault, info.maximum) << "P" << number;
        EXPECT_LE(info.maximum, 9999) << "P" << number;
    }
}

} // namespace

TEST_F(DriveTest, OperationCommandsAreTheManualsNumbers) {
    drive.Command(sim::command::kRun, 600);
    Step(20'000);
    ASSERT_EQ(OutputFrequency(drive), 600);
    EXPECT_EQ(drive.Command(sim::command::kStop, 400), Outcome::Ok) << "0 stops";
    Step(20'000);
    EXPECT_EQ(OutputFrequency(drive), 0);
    EXPECT_EQ(Monitor(drive, sim::monitor::kFrequencyCommand), 400);
    EXPECT_EQ(drive.Command(6, 300), Outcome::Ok) << "a forward jog runs";
    Step(20'000);
    EXPECT_EQ(OutputFrequency(drive), 300);
    EXPECT_EQ(drive.Command(sim::command::kStopToo, 300), Outcome::Ok);
    Step(20'000);
    EXPECT_EQ(OutputFrequency(drive), 0);
    EXPECT_EQ(drive.Command(9, 300), Outcome::OutOfRange);
    EXPECT_EQ(drive.Command(13, 300), Outcome::OutOfRange);
    EXPECT_EQ(Monitor(drive, sim::monitor::kCommandWord), sim::command::kStopToo);
}

TEST_F(DriveTest, ADriveThatReportsWhatItRunsMarksD3WhileTheMotorTurns) {
    drive.SetReportsRunning(true);
    EXPECT_EQ(Monitor(drive, sim::monitor::kCommandWord), 0);
    drive.Command(5, 300); // jog reverse
    Step(5000);
    EXPECT_EQ(Monitor(drive, sim::monitor::kCommandWord), 133);
    EXPECT_EQ(drive.Status().commandWord, 0x85);
    drive.Command(sim::command::kStop, 300);
    Step(1000);
    EXPECT_EQ(drive.Status().commandWord, 0x80) << "still ramping down";
    Step(20'000);
    EXPECT_EQ(drive.Status().commandWord, 0);
}
