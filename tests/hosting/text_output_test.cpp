// What reaches a run's output from outside (configuration names, typed commands): JSON that
// any strict parser reads back as the same text, and text for people with nothing raw that a
// terminal would act on.
#include "json_value.h"
#include "text_output.h"

#include <gtest/gtest.h>

using namespace vfdahost;
using testing_support::ParseJson;

namespace {

// The text a strict parser reads from the JSON string; "<not JSON>" when it reads none.
std::string ReadBack(const std::string& json) {
    std::string error;
    const auto value = ParseJson(json, &error);
    return value ? value->text : "<not JSON: " + error + ">";
}

const std::string kFffd = "\xEF\xBF\xBD";

} // namespace

TEST(JsonStringTest, WellFormedTextReadsBackUnchanged) {
    for (const std::string text :
         {"", "PUMP1", "급수 펌프", "\xF0\x9F\x98\x80", "a\"b\\c/d", "\xEF\xBF\xBF", "\xC2\xA0"}) {
        EXPECT_EQ(ReadBack(JsonString(text)), text) << JsonString(text);
    }
}

TEST(JsonStringTest, ControlCharactersAreEscaped) {
    EXPECT_EQ(JsonString("a\x1b[31m\n\t\r\x01"), "\"a\\u001b[31m\\n\\t\\r\\u0001\"");
    EXPECT_EQ(JsonString(std::string("\0", 1)), "\"\\u0000\"");
    // DEL and the C1 controls are legal JSON, but a terminal may act on them.
    EXPECT_EQ(JsonString("\x7f\xC2\x9B"), "\"\\u007f\\u009b\"");
}

TEST(JsonStringTest, EachByteOfAnIllFormedSequenceBecomesAReplacement) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"\xff", kFffd},                                     // never in UTF-8
        {"A\x80Z", "A" + kFffd + "Z"},                       // a lone continuation
        {"\xC0\xAF", kFffd + kFffd},                         // overlong '/'
        {"\xE0\x80\xAF", kFffd + kFffd + kFffd},             // overlong, three bytes
        {"\xED\xA0\x80", kFffd + kFffd + kFffd},             // a surrogate
        {"\xF4\x90\x80\x80", kFffd + kFffd + kFffd + kFffd}, // above U+10FFFF
        {"\xEA\xB0", kFffd + kFffd},                         // cut short at the end
        {"\xEA\xB0\"", kFffd + kFffd + "\""},                // cut short by a quote
        {"\xb0\xa1", kFffd + kFffd},                         // CP949 passed as it is
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReadBack(JsonString(c.bytes)), c.text) << JsonString(c.bytes);
    }
}

TEST(TextForPeopleTest, ControlsAndStrayBytesShowAsTheirBytes) {
    EXPECT_EQ(TextForPeople("PUMP\x1b[2J"), "PUMP\\x1b[2J");
    EXPECT_EQ(TextForPeople("\x07\x7f\xC2\x9B"), "\\x07\\x7f\\xc2\\x9b");
    EXPECT_EQ(TextForPeople("a\xff"
                            "b\xED\xA0\x80"),
              "a\\xffb\\xed\\xa0\\x80");
    EXPECT_EQ(TextForPeople("급수 펌프 \"A\" \\ ok"), "급수 펌프 \"A\" \\ ok");
}

TEST(ToUtf8Test, BytesThatStartNoCp949CharacterAreReplacedOneByOne) {
    EXPECT_EQ(ToUtf8("\xb0\xa1"), "가");
    // 0xFF starts nothing, so the 'A' after it is read as itself.
    EXPECT_EQ(ToUtf8("\xff"
                     "A\xb0\xa1"),
              kFffd + "A가");
    EXPECT_EQ(ToUtf8("\x1b\xff"), "\x1b" + kFffd);
    EXPECT_EQ(ToUtf8("X\xb0"), "X" + kFffd); // a lead byte at the end
}
