// What a configuration's baud index means, for the module and the tools alike.
#include "comm/line_rates.h"

#include <gtest/gtest.h>

using namespace comm;

TEST(LineRatesTest, TheEditorsIndexesAreItsThreeRates) {
    EXPECT_EQ(LineBaudRate(0), 1200u);
    EXPECT_EQ(LineBaudRate(1), 2400u);
    EXPECT_EQ(LineBaudRate(2), 4800u);
    EXPECT_EQ(BaudIndexOf(1200), 0);
    EXPECT_EQ(BaudIndexOf(4800), 2);
    EXPECT_EQ(BaudIndexOf(9600), std::nullopt);
    EXPECT_EQ(BaudIndexOf(0), std::nullopt);
}

TEST(LineRatesTest, AnIndexTheEditorDoesNotOfferRunsTheLineAt4800) {
    for (const int32_t index : {-1, 3, 5, 255, INT32_MIN, INT32_MAX}) {
        EXPECT_FALSE(IsOfferedBaudIndex(index)) << index;
        EXPECT_EQ(LineBaudRate(index), 4800u) << index;
    }
}
