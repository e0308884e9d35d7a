// A screen of character cells drawn into and then written to the terminal in one go. Wide
// characters (Hangul, CJK) take two cells.
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ui {

enum CellStyle : uint8_t {
    kPlain = 0,
    kReverse = 1u << 0,
    kBold = 1u << 1,
    kDim = 1u << 2,
    kUnderline = 1u << 3,
};

class TOOLKIT_API ScreenBuffer {
public:
    void Resize(int rows, int columns);
    void Clear();
    int Rows() const { return rows_; }
    int Columns() const { return columns_; }

    // Writes UTF-8 text from (row, column), stopping before limitColumn (exclusive; -1: the
    // screen's edge); returns the column after the text. A wide character that would not fit
    // whole is left out.
    int Put(int row, int column, std::string_view utf8, uint8_t style = kPlain,
            int limitColumn = -1);
    void Fill(int row, int column, int count, std::string_view glyph, uint8_t style = kPlain);
    void Box(int top, int left, int bottom, int right, uint8_t style = kPlain);
    bool IsBlank(int row, int column) const;

    // The whole screen as escape sequences, with the cursor left at (row, column), shown
    // when showCursor is set.
    std::string Render(int cursorRow, int cursorColumn, bool showCursor) const;

    // Display width of one code point: 2 for wide characters, else 1.
    static int CodePointWidth(uint32_t codePoint);
    // The cells the UTF-8 text takes.
    static int TextWidth(std::string_view utf8);

private:
    struct Cell {
        std::string glyph = " ";
        uint8_t style = kPlain;
        bool continuation = false; // the right half of a wide character
    };
    Cell* At(int row, int column);
    void ClearHalfOf(int row, int column);

    int rows_ = 0;
    int columns_ = 0;
    std::vector<Cell> cells_;
};

// Decodes one UTF-8 code point at `at`, advancing it; U+FFFD for a broken sequence.
TOOLKIT_API uint32_t NextCodePoint(std::string_view utf8, size_t& at);

} // namespace ui
