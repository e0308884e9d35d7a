// The event-log messages: their exact CP949 bytes, the prefix, the flags and the results.
#include "host_libraries.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"
#include "resources/texts.h"
#include "test_files.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

Bytes BytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

class MessageLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver::HostBinding::Instance().BindRunTimeLibraries();
        host_.Attach();
        ASSERT_TRUE(driver::HostBinding::Instance().HasEventLog());
    }
    void TearDown() override { driver::HostBinding::Instance().ReleaseAll(); }

    hostkit::HostLibraries host_;
};

const std::string kPrefix = "[DELTA VFD-A] ";

} // namespace

TEST(MessageTexts, AreCp949Bytes) {
    EXPECT_EQ(Hex(BytesOf(resources::MessageFormat(1))), "C5 EB BD C5 BD C3 C0 DB ");
    EXPECT_EQ(Hex(BytesOf(resources::MessageFormat(2))), "C5 EB BD C5 C1 BE B7 E1 ");
    EXPECT_EQ(std::string(resources::kMessagePrefix), kPrefix);
    EXPECT_EQ(std::string(resources::MessageFormat(0)), "");
    EXPECT_EQ(resources::MessageFormat(18), nullptr);
    EXPECT_EQ(resources::MessageFormat(-1), nullptr);
}

TEST(MessageTexts, StringTableKeepsItsLineBreakAndDoubleSpace) {
    const std::string deleteQuestion = resources::StringTableText(2708);
    EXPECT_NE(deleteQuestion.find("\r\n"), std::string::npos);
    EXPECT_EQ(deleteQuestion.find('\n'), deleteQuestion.find("\r\n") + 1);
    const std::string saveQuestion = resources::StringTableText(2709);
    EXPECT_NE(saveQuestion.find(".  "), std::string::npos);
    for (uint32_t id = 2700; id <= 2710; ++id) {
        EXPECT_NE(resources::StringTableText(id), nullptr) << id;
    }
    EXPECT_EQ(resources::StringTableText(2711), nullptr);
    EXPECT_EQ(resources::StringTableText(2699), nullptr);
}

TEST_F(MessageLogTest, StateChangeCarriesFlags0x102AndTheNegatedNumber) {
    EXPECT_EQ(driver::LogMessage(2, driver::kStateChange), -2);
    const auto log = host_.EventLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].kind, 3);
    EXPECT_EQ(log[0].flags, 0x102u);
    EXPECT_EQ(log[0].text, kPrefix + resources::MessageFormat(2));
}

TEST_F(MessageLogTest, OtherSeverityBitsAreKept) {
    EXPECT_EQ(driver::LogMessage(1, 0x40000001u), -1);
    EXPECT_EQ(host_.EventLog().at(0).flags, 0x40000101u);
}

TEST_F(MessageLogTest, TextsFillTheirPlacesInOrder) {
    EXPECT_EQ(driver::LogMessage(7, driver::kConfigurationError, "TAG1", "PUMP9"), -7);
    const auto log = host_.EventLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].flags, 0x100u);
    // "태그[TAG1]에 설정된 I/O 디바이스[PUMP9]가 ..."
    const std::string& text = log[0].text;
    EXPECT_EQ(text.rfind(kPrefix + "\xC5\xC2\xB1\xD7[TAG1]", 0), 0u);
    EXPECT_NE(text.find("\xB5\xF0\xB9\xD9\xC0\xCC\xBD\xBA[PUMP9]"), std::string::npos);
}

TEST_F(MessageLogTest, ArgumentsAreCopiedAsTheyAreWhateverTheirContent) {
    const std::string hostile = "%s%n%d%%" + std::string(100000, 'x');
    EXPECT_EQ(driver::LogMessage(5, driver::kConfigurationError, hostile.c_str()), -5);
    EXPECT_EQ(driver::LogMessage(8, driver::kTransactionFailure, nullptr), -8);
    const auto log = host_.EventLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].text.find("[" + hostile + "]"), std::string::npos);
    EXPECT_NE(log[1].text.find("[]"), std::string::npos) << "a null text reads as empty";
}

TEST_F(MessageLogTest, NegativeAndUnknownNumbersLogNothing) {
    EXPECT_EQ(driver::LogMessage(-3, driver::kStateChange), -3);
    EXPECT_EQ(driver::LogMessage(18, driver::kStateChange), 18);
    EXPECT_TRUE(host_.EventLog().empty());
}

TEST_F(MessageLogTest, WithoutTheEventLogTheNumberComesBackPositive) {
    driver::HostBinding::Instance().ReleaseAll();
    EXPECT_EQ(driver::LogMessage(5, driver::kConfigurationError, "x"), 5);
    EXPECT_EQ(driver::LogMessage(14, driver::kStateChange, "P1"), 14);
    EXPECT_TRUE(host_.EventLog().empty());
}
