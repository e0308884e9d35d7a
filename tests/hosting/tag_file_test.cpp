// The tag file of vfda-host run: what is read from it and what is refused, with the line.
#include "tag_file.h"
#include "test_files.h"

#include <gtest/gtest.h>

using namespace vfdahost;

namespace {

std::vector<TagDefinition> Parsed(const std::string& text) {
    std::vector<TagDefinition> tags;
    std::string error;
    EXPECT_TRUE(ParseTagFile(text, tags, error)) << error;
    return tags;
}

std::string Refusal(const std::string& text) {
    std::vector<TagDefinition> tags;
    std::string error;
    EXPECT_FALSE(ParseTagFile(text, tags, error)) << text;
    return error;
}

} // namespace

TEST(TagFileTest, TagsAreNumberedFromOneInFileOrder) {
    const auto tags = Parsed("name,type,device,address\n"
                             "F1,analog,PUMP1,D1\n"
                             "RUN1,digital,LINE.PUMP1,D4.0\n");
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].id, 1u);
    EXPECT_EQ(tags[0].name, "F1");
    EXPECT_EQ(tags[0].type, kAnalogTagType);
    EXPECT_EQ(tags[0].device, "PUMP1");
    EXPECT_EQ(tags[0].address, "D1");
    EXPECT_EQ(tags[1].id, 2u);
    EXPECT_EQ(tags[1].type, kDigitalTagType);
    EXPECT_EQ(tags[1].deviceCp949, "LINE.PUMP1");
}

TEST(TagFileTest, WhatEditorsAddIsAccepted) {
    // A byte-order mark, CR LF, blanks around fields, letter case, comments and blank lines.
    const auto tags = Parsed("\xEF\xBB\xBFName, Type ,DEVICE,address\r\n"
                             "# pumps\r\n"
                             "\r\n"
                             "  F1 , ANALOG , PUMP1 , D1 \r\n"
                             "F2,Digital,PUMP1,D4.2");
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "F1");
    EXPECT_EQ(tags[0].address, "D1");
    EXPECT_EQ(tags[1].type, kDigitalTagType);
    EXPECT_EQ(tags[1].id, 2u) << "comments and blank lines take no id";
}

TEST(TagFileTest, KoreanTextsReachTheModuleAsCp949) {
    const auto tags = Parsed("name,type,device,address\n펌프,analog,펌프 2,P3\n");
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].nameCp949, "\xC6\xDF\xC7\xC1");
    EXPECT_EQ(tags[0].deviceCp949, "\xC6\xDF\xC7\xC1 2");
}

TEST(TagFileTest, DeviceAndAddressAreLeftForTheModuleToJudge) {
    const auto tags = Parsed("name,type,device,address\nX,analog,,\n");
    ASSERT_EQ(tags.size(), 1u);
    EXPECT_EQ(tags[0].device, "");
    EXPECT_EQ(tags[0].address, "");
}

TEST(TagFileTest, WrongFilesAreRefusedWithTheLine) {
    EXPECT_EQ(Refusal(""), "no header line name,type,device,address");
    EXPECT_EQ(Refusal("# only a comment\n"), "no header line name,type,device,address");
    EXPECT_EQ(Refusal("name,type,device\nF1,analog,PUMP1\n"),
              "line 1: the first line must be the header name,type,device,address");
    const std::string header = "name,type,device,address\n";
    EXPECT_EQ(Refusal(header + "F1,analog,PUMP1\n"),
              "line 2: a tag line has 4 fields (name,type,device,address), this one has 3");
    EXPECT_EQ(Refusal(header + "F1,analog,PUMP1,D1,extra\n"),
              "line 2: a tag line has 4 fields (name,type,device,address), this one has 5");
    EXPECT_EQ(Refusal(header + "\nF1,float,PUMP1,D1\n"),
              "line 3: the type must be analog or digital, not \"float\"");
    EXPECT_EQ(Refusal(header + ",analog,PUMP1,D1\n"),
              "line 2: the tag name must not be empty or contain blanks");
    EXPECT_EQ(Refusal(header + "F 1,analog,PUMP1,D1\n"),
              "line 2: the tag name must not be empty or contain blanks");
    EXPECT_EQ(Refusal(header + "F1,analog,PUMP1,D1\nF1,analog,PUMP2,D1\n"),
              "line 3: the tag name F1 is used twice");
    EXPECT_EQ(Refusal(header + "F\xF0\x9F\x98\x80,analog,PUMP1,D1\n"),
              "line 2: the name has characters that CP949 cannot hold");
    EXPECT_EQ(Refusal(header + "F1,analog,PUMP1,D\xFF\n"),
              "line 2: the address has characters that CP949 cannot hold");
}

TEST(TagFileTest, OverlongLinesAreRefusedWithoutBeingRead) {
    const std::string header = "name,type,device,address\n";
    const std::string longest = "F1,analog,PUMP1," + std::string(kMaxTagLineBytes - 16, 'D');
    EXPECT_EQ(Parsed(header + longest + "\n").size(), 1u);
    EXPECT_EQ(Refusal(header + longest + "D\n"), "line 2: longer than 1024 bytes");
}

TEST(TagFileTest, FilesAreReadWithinTheirBound) {
    testing_support::TempFolder folder;
    std::vector<TagDefinition> tags;
    std::string error;
    EXPECT_EQ(ReadTagFile(folder.File("absent.csv"), tags, error), TagFileResult::Unreadable);

    const std::string good = folder.File("good.csv");
    testing_support::WriteText(good, "name,type,device,address\nF1,analog,PUMP1,D1\n");
    EXPECT_EQ(ReadTagFile(good, tags, error), TagFileResult::Read) << error;
    EXPECT_EQ(tags.size(), 1u);

    const std::string wrong = folder.File("wrong.csv");
    testing_support::WriteText(wrong, "F1,analog,PUMP1,D1\n");
    EXPECT_EQ(ReadTagFile(wrong, tags, error), TagFileResult::Refused);
    EXPECT_EQ(error,
              wrong + ": line 1: the first line must be the header name,type,device,address");

    const std::string huge = folder.File("huge.csv");
    testing_support::WriteText(huge, std::string(kMaxTagFileBytes + 1, '#'));
    EXPECT_EQ(ReadTagFile(huge, tags, error), TagFileResult::Refused);
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
}
