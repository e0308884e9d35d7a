// The one check every value passes before it goes to a drive: what is refused must be what
// would otherwise reach the drive as another value than the one asked for.
#include "word_value.h"

#include <gtest/gtest.h>

#include <cmath>

using vfdahost::ParseWordValue;
using vfdahost::WordAddress;

namespace {

const WordAddress kScaled{'P', 10}; // acceleration time, 0.1 s
const WordAddress kWhole{'P', 71};  // motor poles

// The reason a typed value is refused; empty when it is taken.
std::string Refusal(const WordAddress& address, const std::string& text) {
    std::string why;
    return ParseWordValue(address, text, why) ? "" : why;
}

TEST(WordValueTest, TakesPlainDecimalsAsTheRawWordTheyStandFor) {
    std::string why;
    EXPECT_EQ(ParseWordValue(kScaled, "7.5", why)->raw, 75);
    EXPECT_EQ(ParseWordValue(kScaled, "7.50", why)->raw, 75) << "a trailing zero adds nothing";
    EXPECT_EQ(ParseWordValue(kScaled, "999.9", why)->raw, 9999);
    EXPECT_EQ(ParseWordValue(kScaled, "0.3", why)->value, 0.3);
    EXPECT_EQ(ParseWordValue(kWhole, "9999", why)->raw, 9999);
    EXPECT_EQ(ParseWordValue(kWhole, "007", why)->raw, 7);
    EXPECT_EQ(ParseWordValue({'D', 0}, "50.5", why)->raw, 505);
    EXPECT_EQ(ParseWordValue({'D', 3}, "99", why)->raw, 99);
}

TEST(WordValueTest, RefusesWhatWouldReachTheDriveAsAnotherValue) {
    for (const char* text :
         {"nan", "-inf", "inf", "0x10", "1e3", "+5", "", " 5", "5 ", "5.", ".5", "--1", "1,5"}) {
        EXPECT_NE(Refusal(kWhole, text).find("plain decimal"), std::string::npos) << text;
    }
    EXPECT_EQ(Refusal(kWhole, "2.9"), "P71 takes whole numbers only");
    EXPECT_EQ(Refusal(kWhole, "65537.9"), "P71 takes whole numbers only");
    EXPECT_EQ(Refusal(kWhole, "65537"), "P71 takes 0 to 9999");
    EXPECT_EQ(Refusal(kWhole, "-1"), "P71 takes 0 to 9999");
    EXPECT_EQ(Refusal(kScaled, "6553.7"), "P10 takes 0 to 999.9");
    EXPECT_EQ(Refusal(kScaled, "5.06"), "P10 carries one decimal");
    EXPECT_EQ(Refusal(kScaled, "0.1000000000000000000001"), "P10 carries one decimal");
    EXPECT_EQ(Refusal(kScaled, std::string(400, '9')),
              "P10 takes a plain decimal number, not \"" + std::string(400, '9') + "\"");
    EXPECT_EQ(Refusal({'D', 3}, "100"), "D3 takes 0 to 99");
    EXPECT_NE(Refusal({'D', 1}, "5"), "") << "D1 is the drive's own";
}

TEST(WordValueTest, ABackupValueMustBeItsRawWordExactly) {
    std::string why;
    EXPECT_EQ(vfdahost::CheckWordValue(kScaled, 5.1, why)->raw, 51);
    EXPECT_FALSE(vfdahost::CheckWordValue(kScaled, 5.06, why));
    EXPECT_FALSE(vfdahost::CheckWordValue(kWhole, 2.5, why));
    EXPECT_FALSE(vfdahost::CheckWordValue(kWhole, std::nan(""), why));
    for (uint16_t raw = 0; raw <= 9999; ++raw) {
        const double value = vfdahost::ValueOfRaw(kScaled, raw);
        ASSERT_EQ(vfdahost::CheckWordValue(kScaled, value, why)->raw, raw) << raw;
    }
}

} // namespace
