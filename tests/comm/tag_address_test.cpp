// Tag addresses: the area letters, the numbers each area accepts, the bit suffix of digital
// tags and the 49-character window.
#include "comm/tag_address.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

constexpr uint16_t kWordTag = 1;
constexpr uint16_t kDigitalTag = comm::kDigitalTagType;

struct Parsed {
    uint16_t area;
    int32_t number;
    uint16_t bit;
    bool operator==(const Parsed&) const = default;
};

void PrintTo(const Parsed& p, std::ostream* os) {
    *os << "{area " << p.area << ", number " << p.number << ", bit " << p.bit << "}";
}

std::optional<Parsed> Parse(const char* text, uint16_t tagType = kWordTag,
                            uint16_t subAttribute = 0) {
    TagBinding binding;
    binding.tagType = tagType;
    binding.bitNumber = subAttribute;
    comm::TagAddress address;
    if (!comm::ParseTagAddress(text, binding, address)) {
        return std::nullopt;
    }
    return Parsed{address.area, address.number, binding.bitNumber};
}

} // namespace

TEST(TagAddress, AreaLetterInEitherCaseAndItsNumber) {
    EXPECT_EQ(Parse("p12"), (Parsed{comm::kAreaP, 12, 0}));
    EXPECT_EQ(Parse("d4"), (Parsed{comm::kAreaD, 4, 0}));
    EXPECT_EQ(Parse("C1"), (Parsed{comm::kAreaC, 1, 0}));
    EXPECT_EQ(Parse("P"), (Parsed{comm::kAreaP, 0, 0})) << "no digits read as 0";
}

TEST(TagAddress, EachAreaStopsAtItsHighestNumber) {
    EXPECT_TRUE(Parse("P80"));
    EXPECT_FALSE(Parse("P81"));
    EXPECT_TRUE(Parse("D6"));
    EXPECT_FALSE(Parse("D7"));
    EXPECT_TRUE(Parse("C2"));
    EXPECT_FALSE(Parse("C3"));
}

TEST(TagAddress, NamesNothingWithoutAnAreaOrWithABadNumber) {
    EXPECT_FALSE(Parse("X1"));
    EXPECT_FALSE(Parse(""));
    EXPECT_FALSE(Parse(nullptr));
    EXPECT_FALSE(Parse("P-1"));
    EXPECT_FALSE(Parse(" P1")) << "the letter comes first";
    EXPECT_FALSE(Parse("P1 ")) << "the number runs to the end";
    EXPECT_FALSE(Parse("P1X"));
    EXPECT_FALSE(Parse("P+"));
    EXPECT_FALSE(Parse("P "));
}

TEST(TagAddress, NumberFollowsTheLibraryRulesForSpaceAndSign) {
    EXPECT_EQ(Parse("P 5"), (Parsed{comm::kAreaP, 5, 0}));
    EXPECT_EQ(Parse("P+5"), (Parsed{comm::kAreaP, 5, 0}));
    EXPECT_EQ(Parse("P-0"), (Parsed{comm::kAreaP, 0, 0}));
    EXPECT_EQ(Parse("P007"), (Parsed{comm::kAreaP, 7, 0}));
}

TEST(TagAddress, NumbersThatWouldWrapIntoRangeAreRefused) {
    EXPECT_FALSE(Parse("P4294967296")) << "2^32 must not read as P0";
    EXPECT_FALSE(Parse("P-4294967295")) << "must not read as P1";
    EXPECT_FALSE(Parse("P99999999999999999999999999"));
    EXPECT_FALSE(Parse("D3.65540", kDigitalTag)) << "must not read as bit 4";
    EXPECT_FALSE(Parse("D3.-65536", kDigitalTag)) << "must not read as bit 0";
}

TEST(TagAddress, OnlyTheFirst49CharactersCount) {
    const std::string zeros48(48, '0');
    EXPECT_EQ(Parse(("P" + zeros48 + "79").c_str()), (Parsed{comm::kAreaP, 0, 0}));
    EXPECT_EQ(Parse(("P" + zeros48.substr(1) + "7X").c_str()), (Parsed{comm::kAreaP, 7, 0}));
    EXPECT_FALSE(Parse(("P" + zeros48.substr(2) + "7X").c_str()));
    EXPECT_EQ(Parse(("D3." + std::string(45, '0') + "4" + ".9").c_str(), kDigitalTag),
              (Parsed{comm::kAreaD, 3, 4}))
        << "the bit suffix is searched inside the window";
}

TEST(TagAddress, DigitalTagNeedsABitSuffixUpTo15) {
    EXPECT_EQ(Parse("D3.4", kDigitalTag), (Parsed{comm::kAreaD, 3, 4}));
    EXPECT_EQ(Parse("p7.15", kDigitalTag), (Parsed{comm::kAreaP, 7, 15}));
    EXPECT_EQ(Parse("D3.", kDigitalTag), (Parsed{comm::kAreaD, 3, 0})) << "a bare '.' is bit 0";
    EXPECT_EQ(Parse("D3. +2", kDigitalTag), (Parsed{comm::kAreaD, 3, 2}));
    EXPECT_FALSE(Parse("D3", kDigitalTag));
    EXPECT_FALSE(Parse("D3.16", kDigitalTag));
    EXPECT_FALSE(Parse("D3.x", kDigitalTag));
    EXPECT_FALSE(Parse("D3.-1", kDigitalTag));
    EXPECT_FALSE(Parse("D7.1", kDigitalTag));
    EXPECT_FALSE(Parse("D3.4.", kDigitalTag)) << "the last '.' holds the bit";
}

TEST(TagAddress, WordTagTakesNoBitSuffixAndKeepsItsSubAttribute) {
    EXPECT_FALSE(Parse("D3.4"));
    EXPECT_EQ(Parse("D3", kWordTag, 77), (Parsed{comm::kAreaD, 3, 77}));
}
