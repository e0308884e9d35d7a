// The strict JSON reader of the tests: it must refuse what a strict parser refuses, or the
// checks on vfda-host's output prove nothing.
#include "json_value.h"

#include <gtest/gtest.h>

using testing_support::JsonValue;
using testing_support::ParseJson;

TEST(JsonValueTest, ReadsObjectsArraysAndEscapes) {
    const auto value =
        ParseJson(" {\"a\":[1,-2.5e3,true,false,null],\"b\":\"\\u00e9\\ud83d\\ude00\\n\"} ");
    ASSERT_TRUE(value);
    ASSERT_EQ(value->Find("a")->items.size(), 5u);
    EXPECT_EQ(value->Find("a")->items[1].number, -2500);
    EXPECT_EQ(value->Find("b")->text, "\xC3\xA9\xF0\x9F\x98\x80\n");
}

TEST(JsonValueTest, RefusesWhatRfc8259Refuses) {
    for (const std::string text : {
             "{\"a\":1,}",        // trailing comma
             "[01]",              // leading zero
             "\"a\x01\"",         // raw control character
             "\"\xff\"",          // not UTF-8
             "\"\xC0\xAF\"",      // overlong
             "\"\xED\xA0\x80\"",  // an encoded surrogate
             "\"\\ud800\"",       // a lone escaped surrogate
             "\"\\x1b\"",         // not a JSON escape
             "{\"a\":1,\"a\":2}", // the same key twice
             "{\"a\":1} x",       // text after the value
             "'a'",
             "NaN",
             "1.",
             "",
             "{\"a\"}",
         }) {
        EXPECT_FALSE(ParseJson(text)) << text;
    }
}

TEST(JsonValueTest, RefusesNumbersBeyondADoubleAndNestingBeyondTheLimit) {
    EXPECT_FALSE(ParseJson("1e999"));
    EXPECT_FALSE(ParseJson("-1e400"));
    EXPECT_TRUE(ParseJson("1.7976931348623157e308"));
    const int limit = vfdajson::kMaxJsonDepth;
    EXPECT_TRUE(ParseJson(std::string(limit + 1, '[') + std::string(limit + 1, ']')));
    EXPECT_FALSE(ParseJson(std::string(limit + 2, '[') + std::string(limit + 2, ']')));
}
