#include "toolkit/ui/terminal/terminal_window_system.h"

#include "toolkit/ui/terminal/cell_layout.h"
#include "toolkit/ui/terminal/cp949_text.h"
#include "toolkit/ui/terminal/dialog_painter.h"

#include <algorithm>

namespace ui {
namespace {

// How long one wait for a key lasts before the loop looks at the terminal's size again.
constexpr uint32_t kKeyWaitMs = 200;

struct BoxButton {
    const char* label; // UTF-8
    int id;
    char hotKey; // 0 for none
};

std::vector<BoxButton> ButtonsFor(unsigned flags) {
    const BoxButton ok{"확인", kIdOk, 0};
    const BoxButton cancel{"취소", kIdCancel, 0};
    const BoxButton yes{"예(Y)", kIdYes, 'y'};
    const BoxButton no{"아니요(N)", kIdNo, 'n'};
    switch (flags & 0xFu) {
    case kMbOkCancel:
        return {ok, cancel};
    case kMbYesNo:
        return {yes, no};
    case 0x3u: // yes, no, cancel
        return {yes, no, cancel};
    default:
        return {ok};
    }
}

// What a box answers when it is closed without a choice: its cancel button, else its only
// OK button, else No.
int CloseAnswer(const std::vector<BoxButton>& buttons) {
    for (const BoxButton& button : buttons) {
        if (button.id == kIdCancel) {
            return kIdCancel;
        }
    }
    return buttons.size() == 1 ? buttons.front().id : kIdNo;
}

// Lines of at most `width` cells, broken at the text's own line ends first, then after the
// last blank that keeps a word whole, else where the width ends.
std::vector<std::string> WrapLines(const std::string& utf8, int width) {
    std::vector<std::string> lines(1);
    int used = 0;
    for (size_t at = 0; at < utf8.size();) {
        const size_t start = at;
        const uint32_t codePoint = NextCodePoint(utf8, at);
        if (codePoint == '\r') {
            continue;
        }
        if (codePoint == '\n') {
            lines.emplace_back();
            used = 0;
            continue;
        }
        const int cells = ScreenBuffer::CodePointWidth(codePoint);
        if (used + cells > width) {
            if (codePoint == ' ') {
                lines.emplace_back(); // the blank ends the line
                used = 0;
                continue;
            }
            std::string& full = lines.back();
            const size_t blank = full.rfind(' ');
            std::string word = blank != std::string::npos ? full.substr(blank + 1) : std::string();
            if (blank != std::string::npos) {
                full.erase(blank);
            }
            used = ScreenBuffer::TextWidth(word);
            lines.push_back(std::move(word));
        }
        lines.back().append(utf8, start, at - start);
        used += cells;
    }
    return lines;
}

} // namespace

struct TerminalWindowSystem::Box {
    std::string caption; // UTF-8
    std::vector<std::string> lines;
    std::vector<BoxButton> buttons;
    size_t focused = 0;
};

TerminalWindowSystem::TerminalWindowSystem(platform::RawTerminal& terminal) : terminal_(terminal) {}
TerminalWindowSystem::~TerminalWindowSystem() = default;

bool TerminalWindowSystem::FitsScreen(int rows, int columns) const {
    int needRows = 0;
    int needColumns = 0;
    NeededSize(needRows, needColumns);
    return needRows <= rows && needColumns <= columns;
}

void TerminalWindowSystem::NeededSize(int& rows, int& columns) const {
    for (const ModelWindow* dialog : model_.ModalStack()) {
        rows = std::max(rows, MinimumDialogHeight(*dialog));
        columns = std::max(columns, DialogWidth(*dialog));
    }
}

void TerminalWindowSystem::PaintDialogs(bool topIsActive, Caret& caret) {
    const auto& stack = model_.ModalStack();
    for (size_t at = 0; at < stack.size(); ++at) {
        ModelWindow& dialog = *stack[at];
        const RowLayout rows = RowLayout::Fit(dialog, screen_.Rows() - 2);
        // Centred; a nested dialog a step down and right, so its owner shows behind it.
        const int depth = static_cast<int>(at);
        const int top = std::min((screen_.Rows() - DialogHeight(rows)) / 2 + depth,
                                 screen_.Rows() - DialogHeight(rows));
        const int left = std::min((screen_.Columns() - DialogWidth(dialog)) / 2 + 2 * depth,
                                  screen_.Columns() - DialogWidth(dialog));
        const bool active = topIsActive && at + 1 == stack.size();
        Caret dialogCaret;
        PaintDialog(screen_, model_, dialog, rows, top, left, active, dialogCaret);
        caret = active ? dialogCaret : caret;
        if (active && ListIsOpen(dialog)) {
            PaintOpenList(rows, top + 1, left + 1);
            caret.shown = false;
        }
    }
}

void TerminalWindowSystem::PaintOpenList(const RowLayout& layout, int originRow, int originColumn) {
    const ModelWindow& list = *openList_;
    const CellRect line = LineCells(list.rect);
    const CellRect frame = FrameCells(list.rect);
    const int count = static_cast<int>(list.items.size());
    const int top = originRow + layout.Row(line.top) + 1;
    // The template's height of a drop-down list is the height of its open list, as far as the
    // screen reaches.
    const int rows =
        std::max(1, std::min({count, frame.bottom - line.top - 1, screen_.Rows() - top - 2}));
    listScroll_ = std::clamp(listScroll_, listHighlight_ - rows + 1, listHighlight_);
    listScroll_ = std::clamp(listScroll_, 0, std::max(0, count - rows));
    const int left = originColumn + line.left;
    const int right = originColumn + line.right;
    for (int row = top; row <= top + rows + 1; ++row) {
        screen_.Fill(row, left, right - left + 1, " ");
    }
    screen_.Box(top, left, top + rows + 1, right);
    for (int row = 0; row < rows; ++row) {
        const int index = listScroll_ + row;
        const uint8_t style = index == listHighlight_ ? kReverse : kPlain;
        screen_.Fill(top + 1 + row, left + 1, right - left - 1, " ", style);
        screen_.Put(top + 1 + row, left + 1, ShowCp949(list.items[static_cast<size_t>(index)]),
                    style, right);
    }
}

// A message box, centred over everything else.
void TerminalWindowSystem::PaintBox(const Box& box) {
    const int rows = screen_.Rows();
    const int columns = screen_.Columns();
    int width = ScreenBuffer::TextWidth(box.caption) + 6;
    int buttonsWidth = 0;
    for (const BoxButton& button : box.buttons) {
        buttonsWidth += ScreenBuffer::TextWidth(button.label) + 5;
    }
    width = std::max(width, buttonsWidth + 3);
    for (const std::string& line : box.lines) {
        width = std::max(width, ScreenBuffer::TextWidth(line) + 4);
    }
    width = std::min(width, columns);
    const int height = std::min(rows, static_cast<int>(box.lines.size()) + 5);
    const int top = (rows - height) / 2;
    const int left = (columns - width) / 2;
    for (int row = top; row < top + height; ++row) {
        screen_.Fill(row, left, width, " ");
    }
    screen_.Box(top, left, top + height - 1, left + width - 1, kBold);
    if (!box.caption.empty()) { // a box without a caption keeps its top border whole
        screen_.Put(top, left + 2, " " + box.caption + " ", kBold, left + width - 2);
    }
    for (size_t line = 0; line < box.lines.size(); ++line) {
        screen_.Put(top + 2 + static_cast<int>(line), left + 2, box.lines[line], kPlain,
                    left + width - 2);
    }
    int at = left + (width - buttonsWidth) / 2;
    for (size_t index = 0; index < box.buttons.size(); ++index) {
        const uint8_t style = index == box.focused ? kReverse : kPlain;
        at = screen_.Put(top + height - 2, at, std::string("[ ") + box.buttons[index].label + " ]",
                         style);
        at += 1;
    }
}

// Only below what the dialogs can be laid out in: what they need and what there is, wrapped
// to the width there is.
void TerminalWindowSystem::PaintTooSmall(int rows, int columns) {
    int needRows = 0;
    int needColumns = 0;
    NeededSize(needRows, needColumns);
    const std::string text =
        "The terminal is too small for this dialog: it needs " + std::to_string(needColumns) +
        " x " + std::to_string(needRows) + ", the terminal has " + std::to_string(columns) + " x " +
        std::to_string(rows) + ".\nMake the window larger, or press Escape to cancel.";
    const std::vector<std::string> lines = WrapLines(text, std::max(1, columns));
    for (size_t line = 0; line < lines.size(); ++line) {
        screen_.Put(static_cast<int>(line), 0, lines[line]);
    }
}

void TerminalWindowSystem::Draw(const Box* box) {
    int rows = 24;
    int columns = 80;
    terminal_.Size(rows, columns);
    screen_.Resize(rows, columns);
    Caret caret;
    if (!FitsScreen(rows, columns)) {
        PaintTooSmall(rows, columns);
    } else {
        PaintDialogs(box == nullptr, caret);
    }
    if (box != nullptr) {
        PaintBox(*box);
    }
    terminal_.Write(screen_.Render(caret.row, caret.column, caret.shown));
}

platform::KeyPress TerminalWindowSystem::NextKey() {
    platform::KeyPress key = terminal_.ReadKey(kKeyWaitMs);
    if (key.code == platform::KeyCode::Closed) {
        inputClosed_ = true;
    }
    return key;
}

intptr_t TerminalWindowSystem::RunModal(WindowEvents& events, const FoundDialog& dialog,
                                        WindowHandle /*owner*/) {
    ModelWindow* window = model_.OpenDialog(events, dialog);
    if (window == nullptr) {
        return -1;
    }
    bool redraw = true;
    while (!window->ended) {
        if (inputClosed_) {
            // Nobody is left to answer: cancel, and close the dialog if it stays open.
            model_.UserCancel(window);
            if (!window->ended) {
                model_.EndModal(window, kIdCancel);
            }
            break;
        }
        if (redraw) {
            Draw(nullptr);
        }
        const platform::KeyPress key = NextKey();
        redraw = terminal_.TakeResized() || key.code != platform::KeyCode::None;
        int rows = 24;
        int columns = 80;
        terminal_.Size(rows, columns);
        if (!FitsScreen(rows, columns)) {
            if (key.code == platform::KeyCode::Escape || key.code == platform::KeyCode::Interrupt) {
                model_.UserCancel(window);
            }
            continue;
        }
        if (key.code != platform::KeyCode::None && key.code != platform::KeyCode::Closed) {
            HandleDialogKey(*window, key);
        }
    }
    return model_.CloseDialog(window);
}

int TerminalWindowSystem::MessageBox(WindowHandle /*owner*/, const std::string& text,
                                     const std::string& caption, unsigned flags) {
    Box box;
    box.buttons = ButtonsFor(flags);
    if (inputClosed_) {
        return CloseAnswer(box.buttons);
    }
    int rows = 24;
    int columns = 80;
    terminal_.Size(rows, columns);
    box.caption = ShowCp949(caption);
    box.lines = WrapLines(ShowCp949(text), std::max(10, columns - 6));
    for (;;) {
        Draw(&box);
        platform::KeyPress key;
        while ((key = NextKey()).code == platform::KeyCode::None) {
            if (terminal_.TakeResized()) {
                Draw(&box);
            }
        }
        const size_t count = box.buttons.size();
        switch (key.code) {
        case platform::KeyCode::Closed:
            return CloseAnswer(box.buttons);
        case platform::KeyCode::Enter:
            return box.buttons[box.focused].id;
        case platform::KeyCode::Escape:
        case platform::KeyCode::Interrupt:
            if (CloseAnswer(box.buttons) != kIdNo) {
                return CloseAnswer(box.buttons); // a box without cancel stays on Escape
            }
            break;
        case platform::KeyCode::Left:
        case platform::KeyCode::Up:
        case platform::KeyCode::BackTab:
            box.focused = (box.focused + count - 1) % count;
            break;
        case platform::KeyCode::Right:
        case platform::KeyCode::Down:
        case platform::KeyCode::Tab:
            box.focused = (box.focused + 1) % count;
            break;
        case platform::KeyCode::Text:
            if (key.text == " ") {
                return box.buttons[box.focused].id;
            }
            for (const BoxButton& button : box.buttons) {
                if (button.hotKey != 0 && key.text.size() == 1 &&
                    (key.text[0] | 0x20) == button.hotKey) {
                    return button.id;
                }
            }
            break;
        default:
            break;
        }
    }
}

} // namespace ui
