// A small terminal emulator for tests: applies what a full-screen program wrote (cursor
// moves, clears, styles, UTF-8 text with wide characters) to a grid, so a test can read the
// screen as a user sees it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace uitest {

class ScreenReader {
public:
    ScreenReader(int rows, int columns);

    void Feed(std::string_view bytes);
    // The terminal's window changed size: what fits stays, the rest is blank.
    void Resize(int rows, int columns);
    // A row without trailing blanks.
    std::string Row(int row) const;
    std::string Text() const; // every row, one a line
    bool Contains(const std::string& utf8) const;
    // The row that holds the text, or -1.
    int RowOf(const std::string& utf8) const;
    // The text drawn in reverse video on the row (the focused control), trimmed.
    std::string ReverseText(int row) const;
    // The whole screen's reverse-video text, rows joined by '|'.
    std::string Highlighted() const;
    bool CursorShown() const { return cursorShown_; }

private:
    struct Cell {
        std::string glyph = " ";
        bool reverse = false;
    };
    void Sequence(std::string_view parameters, char final);
    void Put(const std::string& glyph, int width);

    int rows_;
    int columns_;
    std::vector<std::vector<Cell>> cells_;
    int row_ = 0;
    int column_ = 0;
    bool reverse_ = false;
    bool cursorShown_ = true;
    std::string pending_; // an escape sequence or UTF-8 character cut by the read
};

} // namespace uitest
