// The benchmarks' shared options: numbers are checked, never read as 0.
#include "bench_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace bench;

namespace {

bool Parse(std::vector<std::string> words, BenchOptions& options) {
    words.insert(words.begin(), "bench");
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    return ParseBenchOptions(static_cast<int>(argv.size()), argv.data(),
                             {"--drives", "--baud", "--seconds", "--warmup", "--mode"}, options);
}

} // namespace

TEST(BenchOptionsTest, CheckedValuesAreTaken) {
    BenchOptions options;
    ASSERT_TRUE(
        Parse({"--drives", "8", "--baud", "2400", "--seconds", "6.5", "--mode", "x"}, options));
    EXPECT_EQ(options.drives, 8);
    EXPECT_EQ(options.baud, 2400u);
    EXPECT_EQ(options.seconds, 6.5);
    EXPECT_EQ(options.mode, "x");
}

TEST(BenchOptionsTest, WhatIsNoNumberOrOutOfRangeIsRefused) {
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{"--drives", "eight"},
                                               {"--drives", "0"},
                                               {"--drives", "33"},
                                               {"--drives", "8x"},
                                               {"--baud", "9600"},
                                               {"--seconds", "nan"},
                                               {"--seconds", "-1"},
                                               {"--seconds", "1", "--warmup", "2"},
                                               {"--lines", "2"},
                                               {"--drives"}}) {
        BenchOptions options;
        EXPECT_FALSE(Parse(words, options)) << words[0] << " " << words.back();
    }
}
