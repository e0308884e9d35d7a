// A dialog's lines in a terminal shorter than its design: which lines give way and which
// never do.
#include "toolkit/ui/terminal/row_layout.h"

#include <gtest/gtest.h>

namespace {

constexpr int kUnitsPerLine = 8;

// A dialog of `lines` design lines; controls are added at design lines.
struct Dialog {
    ui::ModelWindow window;

    explicit Dialog(int lines) {
        window.type = ui::ModelWindowType::Dialog;
        window.rect = {0, 0, 160, lines * kUnitsPerLine};
    }
    // A one-line control whose text sits on the design line.
    void Label(int line, ui::ModelWindow* parent = nullptr) {
        Add(ui::ControlKind::Label, {8, line * kUnitsPerLine, 40, 8}, parent);
    }
    void Frame(ui::ControlKind kind, int top, int bottom) {
        Add(kind, {8, top * kUnitsPerLine, 100, (bottom - top) * kUnitsPerLine}, nullptr);
    }
    ui::ModelWindow* Page() {
        auto page = std::make_unique<ui::ModelWindow>();
        page->type = ui::ModelWindowType::Page;
        page->visible = false;
        ui::ModelWindow* raw = page.get();
        window.controls.push_back(std::move(page));
        return raw;
    }
    void Add(ui::ControlKind kind, ui::DialogRect rect, ui::ModelWindow* parent) {
        auto control = std::make_unique<ui::ModelWindow>();
        control->kind = kind;
        control->rect = rect;
        (parent != nullptr ? parent : &window)->controls.push_back(std::move(control));
    }
};

TEST(RowLayout, ADialogThatFitsKeepsItsDesignLines) {
    Dialog dialog(10);
    dialog.Label(1);
    dialog.Label(6);
    const ui::RowLayout layout = ui::RowLayout::Fit(dialog.window, 24);
    EXPECT_EQ(layout.Rows(), 10);
    for (int line = 0; line < 10; ++line) {
        EXPECT_EQ(layout.Row(line), line);
    }
}

TEST(RowLayout, AShortTerminalTakesTheLongestGapsFirstAndKeepsEveryLineApart) {
    Dialog dialog(20);
    dialog.Label(1);
    dialog.Label(3);
    dialog.Label(12);
    dialog.Label(14);
    const ui::RowLayout layout = ui::RowLayout::Fit(dialog.window, 12);
    ASSERT_EQ(layout.Rows(), 12);
    // The long gaps (eight lines between 3 and 12, five after 14) gave way in turns, the
    // longest first; the one-line gaps stay as they were.
    EXPECT_EQ(layout.Row(3) - layout.Row(1), 2);
    EXPECT_EQ(layout.Row(14) - layout.Row(12), 2);
    EXPECT_EQ(layout.Row(12) - layout.Row(3), 3);
    EXPECT_EQ(layout.Row(19) - layout.Row(14), 3);
}

TEST(RowLayout, BelowItsMinimumEveryUsedLineStaysInOrder) {
    Dialog dialog(20);
    for (const int line : {0, 2, 4, 9, 19}) {
        dialog.Label(line);
    }
    EXPECT_EQ(ui::RowLayout::MinimumRows(dialog.window), 5);
    const ui::RowLayout layout = ui::RowLayout::Fit(dialog.window, 1);
    EXPECT_EQ(layout.Rows(), 5);
    EXPECT_EQ(layout.Row(0), 0);
    EXPECT_EQ(layout.Row(2), 1);
    EXPECT_EQ(layout.Row(4), 2);
    EXPECT_EQ(layout.Row(9), 3);
    EXPECT_EQ(layout.Row(19), 4);
}

TEST(RowLayout, FramesKeepTheirBordersApartFromWhatTheyHoldAndATreeKeepsLinesInside) {
    Dialog dialog(30);
    dialog.Frame(ui::ControlKind::SunkenFrame, 2, 8);
    dialog.Label(5); // inside the frame
    dialog.Frame(ui::ControlKind::TreeView, 10, 28);
    const ui::RowLayout layout = ui::RowLayout::Fit(dialog.window, 1);
    EXPECT_EQ(layout.Row(5) - layout.Row(2), 1);
    EXPECT_EQ(layout.Row(8) - layout.Row(5), 1);
    EXPECT_EQ(layout.Row(28) - layout.Row(10) - 1, ui::RowLayout::kTreeMinimumRows);
    EXPECT_GT(layout.Row(10), layout.Row(8));
}

TEST(RowLayout, ATabControlKeepsItsTabsAboveItsFrame) {
    Dialog dialog(20);
    dialog.Frame(ui::ControlKind::TabControl, 0, 19);
    const ui::RowLayout layout = ui::RowLayout::Fit(dialog.window, 1);
    EXPECT_EQ(layout.Rows(), 3); // the tabs, the frame's top and its bottom
    EXPECT_EQ(layout.Row(1), 1);
}

TEST(RowLayout, TheLinesOfAHiddenPageCountSoSwitchingPagesMovesNothing) {
    Dialog dialog(20);
    dialog.Label(2);
    ui::ModelWindow* page = dialog.Page();
    dialog.Label(7, page);
    dialog.Label(15, page);
    EXPECT_EQ(ui::RowLayout::MinimumRows(dialog.window), 3);
    const ui::RowLayout layout = ui::RowLayout::Fit(dialog.window, 3);
    EXPECT_EQ(layout.Row(7), 1);
    EXPECT_EQ(layout.Row(15), 2);
}

} // namespace
