// Raw words and host values: which words carry one decimal, and the conversions both ways.
#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using comm::kAreaC;
using comm::kAreaD;
using comm::kAreaP;

TEST(ScaledParameters, FlagsTheParametersWithOneDecimal) {
    const int scaled[] = {3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 16,
                          17, 18, 19, 20, 21, 22, 23, 29, 30, 31, 33, 34, 36,
                          37, 47, 48, 49, 55, 62, 65, 67, 68, 69, 70};
    int count = 0;
    for (bool flag : comm::ScaledParameters) {
        count += flag ? 1 : 0;
    }
    EXPECT_EQ(count, static_cast<int>(std::size(scaled)));
    for (int n : scaled) {
        EXPECT_TRUE(comm::ScaledParameters[static_cast<size_t>(n)]) << "P" << n;
    }
}

TEST(ScaledParameters, ReceivedWordsBecomeHostValues) {
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaP, 5, 123), 12.3);
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaP, 15, 123), 123);
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaP, 80, 123), 123);
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaD, 2, 65535), 6553.5);
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaD, 3, 65535), 65535);
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaC, 0, 7), 7) << "command words are never scaled";
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaP, 300, 7), 7) << "no flag beyond P80";
}

TEST(ScaledParameters, WrittenValuesTruncateAndWrap) {
    EXPECT_EQ(comm::ToRawValue(kAreaP, 5, 12.5), 125);
    EXPECT_EQ(comm::ToRawValue(kAreaP, 2, 12.5), 12);
    EXPECT_EQ(comm::ToRawValue(kAreaP, 2, -1), 65535);
    EXPECT_EQ(comm::ToRawValue(kAreaP, 2, -0.9), 0) << "toward zero";
    EXPECT_EQ(comm::ToRawValue(kAreaP, 5, 7000), 4464) << "70,000 modulo 65,536";
    EXPECT_EQ(comm::ToRawValue(kAreaD, 0, 50.0), 500);
    EXPECT_EQ(comm::ToRawValue(kAreaD, 3, 1.9), 1);
}

TEST(ScaledParameters, ScaledWriteIsNotLoweredByBinaryRounding) {
    EXPECT_EQ(comm::ToRawValue(kAreaP, 5, 2.3), 23) << "2.3 x 10 is 22.999999999999996";
    EXPECT_EQ(comm::ToRawValue(kAreaD, 0, 0.7), 7);
    EXPECT_EQ(comm::ToRawValue(kAreaP, 5, 12.55), 125) << "a real second decimal still truncates";
    EXPECT_DOUBLE_EQ(comm::ToHostValue(kAreaP, 5, comm::ToRawValue(kAreaP, 5, 60.0)), 60.0);
}

TEST(ScaledParameters, ValuesBeyondAnyWordStayDefined) {
    EXPECT_EQ(comm::RawFromValue(1e12 + 5), static_cast<uint16_t>(1000000000005ULL % 65536));
    EXPECT_EQ(comm::RawFromValue(-65536.0 * 70000 - 2), 65534);
    EXPECT_EQ(comm::RawFromValue(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(comm::RawFromValue(std::numeric_limits<double>::infinity()), 0);
}
