// The terminal's screen buffer, CP949 walking and the cell layout of dialog units.
#include "screen_reader.h"
#include "toolkit/ui/terminal/cell_layout.h"
#include "toolkit/ui/terminal/cp949_text.h"
#include "toolkit/ui/terminal/screen_buffer.h"

#include <gtest/gtest.h>

namespace uitest {
namespace {

std::string Rendered(const ui::ScreenBuffer& buffer, int row) {
    ScreenReader reader(buffer.Rows(), buffer.Columns());
    reader.Feed(buffer.Render(0, 0, false));
    return reader.Row(row);
}

TEST(ScreenBuffer, WideCharactersTakeTwoCellsAndAreNeverCutInHalf) {
    ui::ScreenBuffer buffer;
    buffer.Resize(2, 10);
    EXPECT_EQ(buffer.Put(0, 0, "가나a"), 5);
    EXPECT_EQ(Rendered(buffer, 0), "가나a");
    EXPECT_EQ(buffer.Put(1, 0, "가나다라마바", 0, 5), 4); // 다 would not fit whole
    EXPECT_EQ(Rendered(buffer, 1), "가나");
    buffer.Put(0, 1, "x"); // over the right half of 가
    EXPECT_EQ(Rendered(buffer, 0), " x나a");
    buffer.Put(0, 3, "\x1b[2J"); // control characters never reach the terminal
    EXPECT_EQ(Rendered(buffer, 0).find('\x1b'), std::string::npos);
}

TEST(ScreenBuffer, WidthsOfHangulAndAscii) {
    EXPECT_EQ(ui::ScreenBuffer::TextWidth("스테이션 이름"), 13);
    EXPECT_EQ(ui::ScreenBuffer::TextWidth("COM1"), 4);
}

TEST(Cp949Text, WalksCharactersAndShowsUtf8) {
    const std::string text = "A\xb0\xa1"
                             "B"; // A 가 B
    EXPECT_EQ(ui::NextCharCp949(text, 1), 3u);
    EXPECT_EQ(ui::PreviousCharCp949(text, 3), 1u);
    EXPECT_EQ(ui::CharStartCp949(text, 2), 1u);
    EXPECT_EQ(ui::ShowCp949(text), "A가B");
    EXPECT_EQ(ui::ShowCp949("A\xff"), "A?"); // no CP949 meaning
}

TEST(CellLayout, LabelsAndTheirBoxesShareALine) {
    // The station dialog: label at y 11 and edit at y 8; label at 75 and edit at 74.
    EXPECT_EQ(ui::LineCells({8, 11, 46, 8}).top, ui::LineCells({56, 8, 88, 14}).top);
    EXPECT_EQ(ui::LineCells({8, 75, 46, 8}).top, ui::LineCells({56, 74, 88, 42}).top);
    EXPECT_EQ(ui::LineCells({56, 8, 88, 14}).left, 14);
    EXPECT_EQ(ui::ClientColumns(243), 61);
    EXPECT_EQ(ui::ClientRows(203), 26);
    const ui::CellRect frame = ui::FrameCells({16, 41, 140, 22});
    EXPECT_LT(frame.top, ui::LineCells({28, 45, 32, 10}).top);
    EXPECT_GT(frame.bottom, ui::LineCells({28, 45, 32, 10}).top);
}

} // namespace
} // namespace uitest
