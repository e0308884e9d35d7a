// The dialogs' init lists as the module's resources carry them: read whole, and never past
// the end of a damaged one.
#include "toolkit/ui/dialog_init_list.h"

#include <gtest/gtest.h>

namespace {

std::string Entry(uint16_t id, uint16_t message, const std::string& data) {
    std::string bytes;
    bytes += static_cast<char>(id & 0xFF);
    bytes += static_cast<char>(id >> 8);
    bytes += static_cast<char>(message & 0xFF);
    bytes += static_cast<char>(message >> 8);
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 0; shift < 32; shift += 8) {
        bytes += static_cast<char>((length >> shift) & 0xFF);
    }
    return bytes + data;
}

const std::string kEnd("\0\0", 2);

TEST(DialogInitList, EntriesInOrderWithTheirTextsUpToTheZero) {
    const std::string data = Entry(9014, 0x0403, std::string(" 1200\0", 6)) +
                             Entry(9014, 0x0403, std::string(" 2400\0", 6)) +
                             Entry(9024, 0x0401, std::string("VFD\0xx", 6)) + kEnd +
                             Entry(9999, 0x0403, std::string("after the end\0", 14));
    const auto entries = ui::ParseDialogInitList(data);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].controlId, 9014);
    EXPECT_EQ(entries[0].message, ui::kDialogInitAddComboString);
    EXPECT_EQ(entries[0].text, " 1200");
    EXPECT_EQ(entries[1].text, " 2400");
    EXPECT_EQ(entries[2].controlId, 9024);
    EXPECT_EQ(entries[2].message, 0x0401u);
    EXPECT_EQ(entries[2].text, "VFD");
}

TEST(DialogInitList, CP949TextsAndTextsWithoutAZeroAreKeptWhole) {
    const std::string hangul = "\xC5\xEB\xBD\xC5"; // "통신" in CP949
    const auto entries = ui::ParseDialogInitList(Entry(7, 0x0403, hangul));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].text, hangul);
}

TEST(DialogInitList, ADamagedListIsReadUpToTheDamageOnly) {
    const std::string good = Entry(9014, 0x0403, std::string("A\0", 2));
    // A length that runs past the end.
    std::string longer = Entry(9014, 0x0403, std::string("B\0", 2));
    longer[4] = '\x7F';
    EXPECT_EQ(ui::ParseDialogInitList(good + longer).size(), 1u);
    // A length near 4 GB must not wrap the reading position around.
    std::string huge = Entry(9014, 0x0403, std::string("C\0", 2));
    huge[4] = huge[5] = huge[6] = huge[7] = '\xFF';
    EXPECT_EQ(ui::ParseDialogInitList(good + huge).size(), 1u);
    // A header cut short, and a lone byte.
    EXPECT_EQ(ui::ParseDialogInitList(good + good.substr(0, 5)).size(), 1u);
    EXPECT_EQ(ui::ParseDialogInitList(good + "\x01").size(), 1u);
    EXPECT_TRUE(ui::ParseDialogInitList("").empty());
    EXPECT_TRUE(ui::ParseDialogInitList(kEnd).empty());
}

} // namespace
