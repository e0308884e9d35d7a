// The command-line parser both tools use: options end at "--", a value is the next word
// whatever it starts with, and what is wrong is named.
#include "cli/arguments.h"

#include <gtest/gtest.h>

namespace {

const cli::Command& Sample() {
    static const cli::Command command{"add",
                                      "NAME",
                                      "Adds a station.",
                                      {cli::Option{"--number", "N", "The number."},
                                       cli::Option{"--description", "TEXT", "The description."},
                                       cli::Option{"--port", "COMn=PATH", "A port."}.Repeatable(),
                                       cli::Option{"--json", "", "JSON."},
                                       cli::Option{"--quiet", "", "Less."}.Short("-q")},
                                      "",
                                      {}};
    return command;
}

cli::Arguments Parse(const std::vector<std::string>& words) {
    return cli::Arguments(words, Sample());
}

} // namespace

TEST(CliArguments, AValueIsTheNextWordWhateverItStartsWith) {
    const cli::Arguments line = Parse({"Z", "--number", "4", "--description", "-h"});
    ASSERT_TRUE(line.Ok()) << line.Error();
    EXPECT_FALSE(line.HelpAsked()) << "-h was --description's value";
    EXPECT_EQ(line.Value("--description"), "-h");
    EXPECT_EQ(line.Value("--number"), "4");
    EXPECT_EQ(line.Positional(), std::vector<std::string>{"Z"});
    EXPECT_EQ(Parse({"Z", "--number=--json"}).Value("--number"), "--json");
    EXPECT_EQ(Parse({"--description="}).Value("--description"), "");
}

TEST(CliArguments, DoubleDashEndsTheOptions) {
    const cli::Arguments line = Parse({"--json", "--", "--help", "-q", "--bogus"});
    ASSERT_TRUE(line.Ok()) << line.Error();
    EXPECT_FALSE(line.HelpAsked());
    EXPECT_FALSE(line.Has("--quiet"));
    EXPECT_EQ(line.Positional(), (std::vector<std::string>{"--help", "-q", "--bogus"}));
    EXPECT_TRUE(line.Has("--json"));
}

TEST(CliArguments, WhatIsWrongIsNamed) {
    EXPECT_EQ(Parse({"--bogus"}).Error(), "unknown option --bogus");
    EXPECT_EQ(Parse({"--bogus=1"}).Error(), "unknown option --bogus");
    EXPECT_EQ(Parse({"-x"}).Error(), "unknown option -x");
    EXPECT_EQ(Parse({"--json=1"}).Error(), "--json takes no value");
    EXPECT_EQ(Parse({"Z", "--number"}).Error(), "--number needs a value (N)");
    // The first fault is the one named; control characters are never echoed raw.
    EXPECT_EQ(Parse({"--a\x1b[2J", "--b"}).Error(), "unknown option --a?[2J");
    EXPECT_EQ(Parse({"--" + std::string(200, 'x')}).Error().size(),
              std::string("unknown option ").size() + 64);
}

TEST(CliArguments, HelpIsUnderstoodAnywhereEvenAfterAFault) {
    EXPECT_TRUE(Parse({"--help"}).HelpAsked());
    EXPECT_TRUE(Parse({"Z", "-h"}).HelpAsked());
    const cli::Arguments line = Parse({"--bogus", "--help"});
    EXPECT_TRUE(line.HelpAsked());
    EXPECT_FALSE(line.Ok());
    EXPECT_FALSE(Parse({"--help=1"}).HelpAsked());
}

TEST(CliArguments, OperandsThatLookLikeNumbersOrStdinStayOperands) {
    const cli::Arguments line = Parse({"-5", "-", "-q"});
    ASSERT_TRUE(line.Ok()) << line.Error();
    EXPECT_EQ(line.Positional(), (std::vector<std::string>{"-5", "-"}));
    EXPECT_TRUE(line.Has("--quiet")) << "a short name stands for its option";
}

TEST(CliArguments, RepeatedValuesKeepTheirOrderAndTheLastOneCounts) {
    const cli::Arguments line =
        Parse({"--port", "COM1=a", "--number", "1", "--port=COM2=b", "--number", "2"});
    EXPECT_EQ(line.Values("--port"), (std::vector<std::string>{"COM1=a", "COM2=b"}));
    EXPECT_EQ(line.Value("--number"), "2");
    EXPECT_FALSE(line.Value("--description").has_value());
}

TEST(CliArguments, WholeNumbersOnly) {
    EXPECT_EQ(cli::ParseInteger("42"), 42);
    EXPECT_EQ(cli::ParseInteger("-7"), -7);
    for (const char* text : {"", "4x", "1.5", " 4", "99999999999999999999999"}) {
        EXPECT_FALSE(cli::ParseInteger(text).has_value()) << text;
    }
}
