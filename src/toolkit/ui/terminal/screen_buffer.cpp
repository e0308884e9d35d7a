#include "toolkit/ui/terminal/screen_buffer.h"

namespace ui {

uint32_t NextCodePoint(std::string_view utf8, size_t& at) {
    const auto lead = static_cast<unsigned char>(utf8[at++]);
    int extra = 0;
    uint32_t value = lead;
    if (lead >= 0xF0 && lead < 0xF8) {
        extra = 3;
        value = lead & 0x07;
    } else if (lead >= 0xE0) {
        extra = 2;
        value = lead & 0x0F;
    } else if (lead >= 0xC0) {
        extra = 1;
        value = lead & 0x1F;
    } else if (lead >= 0x80) {
        return 0xFFFD;
    }
    for (int i = 0; i < extra; ++i) {
        if (at >= utf8.size() || (static_cast<unsigned char>(utf8[at]) & 0xC0) != 0x80) {
            return 0xFFFD;
        }
        value = (value << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
    }
    return value;
}

int ScreenBuffer::CodePointWidth(uint32_t c) {
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
                      (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
                      (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                      (c >= 0xA960 && c <= 0xA97F) || (c >= 0xAC00 && c <= 0xD7A3) ||
                      (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
                      (c >= 0x20000 && c <= 0x3FFFD);
    return wide ? 2 : 1;
}

int ScreenBuffer::TextWidth(std::string_view utf8) {
    int width = 0;
    for (size_t at = 0; at < utf8.size();) {
        width += CodePointWidth(NextCodePoint(utf8, at));
    }
    return width;
}

void ScreenBuffer::Resize(int rows, int columns) {
    rows_ = rows > 0 ? rows : 0;
    columns_ = columns > 0 ? columns : 0;
    cells_.assign(static_cast<size_t>(rows_) * static_cast<size_t>(columns_), Cell{});
}

void ScreenBuffer::Clear() {
    cells_.assign(cells_.size(), Cell{});
}

ScreenBuffer::Cell* ScreenBuffer::At(int row, int column) {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
        return nullptr;
    }
    return &cells_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                   static_cast<size_t>(column)];
}

bool ScreenBuffer::IsBlank(int row, int column) const {
    if (row < 0 || row >= rows_ || column < 0 || column >= columns_) {
        return true;
    }
    const Cell& cell = cells_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                              static_cast<size_t>(column)];
    return cell.glyph == " " && !cell.continuation;
}

// Overwriting one half of a wide character blanks its other half.
void ScreenBuffer::ClearHalfOf(int row, int column) {
    Cell* cell = At(row, column);
    if (cell == nullptr) {
        return;
    }
    if (cell->continuation) {
        if (Cell* left = At(row, column - 1)) {
            *left = Cell{};
        }
    } else if (Cell* right = At(row, column + 1); right != nullptr && right->continuation) {
        *right = Cell{};
    }
}

int ScreenBuffer::Put(int row, int column, std::string_view utf8, uint8_t style, int limitColumn) {
    const int limit = limitColumn < 0 || limitColumn > columns_ ? columns_ : limitColumn;
    for (size_t at = 0; at < utf8.size();) {
        const size_t start = at;
        const uint32_t codePoint = NextCodePoint(utf8, at);
        const int width = CodePointWidth(codePoint);
        if (column + width > limit) {
            break;
        }
        if (codePoint < 0x20 || codePoint == 0x7F) {
            continue; // never send control characters to the terminal
        }
        ClearHalfOf(row, column);
        if (width == 2) {
            ClearHalfOf(row, column + 1);
        }
        if (Cell* cell = At(row, column)) {
            cell->glyph = codePoint == 0xFFFD ? std::string("?")
                                              : std::string(utf8.substr(start, at - start));
            cell->style = style;
            cell->continuation = false;
        }
        if (width == 2) {
            if (Cell* half = At(row, column + 1)) {
                half->glyph.clear();
                half->style = style;
                half->continuation = true;
            }
        }
        column += width;
    }
    return column;
}

void ScreenBuffer::Fill(int row, int column, int count, std::string_view glyph, uint8_t style) {
    for (int i = 0; i < count; ++i) {
        Put(row, column + i, glyph, style);
    }
}

void ScreenBuffer::Box(int top, int left, int bottom, int right, uint8_t style) {
    if (bottom <= top || right <= left) {
        return;
    }
    Put(top, left, "┌", style);
    Put(top, right, "┐", style);
    Put(bottom, left, "└", style);
    Put(bottom, right, "┘", style);
    Fill(top, left + 1, right - left - 1, "─", style);
    Fill(bottom, left + 1, right - left - 1, "─", style);
    for (int row = top + 1; row < bottom; ++row) {
        Put(row, left, "│", style);
        Put(row, right, "│", style);
    }
}

namespace {

std::string StyleSequence(uint8_t style) {
    std::string sequence = "\x1b[0";
    if (style & kBold) {
        sequence += ";1";
    }
    if (style & kDim) {
        sequence += ";2";
    }
    if (style & kUnderline) {
        sequence += ";4";
    }
    if (style & kReverse) {
        sequence += ";7";
    }
    return sequence + "m";
}

} // namespace

std::string ScreenBuffer::Render(int cursorRow, int cursorColumn, bool showCursor) const {
    std::string out = "\x1b[?25l";
    for (int row = 0; row < rows_; ++row) {
        out += "\x1b[" + std::to_string(row + 1) + ";1H";
        uint8_t current = 0xFF;
        for (int column = 0; column < columns_; ++column) {
            const Cell& cell = cells_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                                      static_cast<size_t>(column)];
            if (cell.continuation) {
                continue;
            }
            if (cell.style != current) {
                out += StyleSequence(cell.style);
                current = cell.style;
            }
            out += cell.glyph;
        }
        out += "\x1b[0m";
    }
    out += "\x1b[" + std::to_string(cursorRow + 1) + ";" + std::to_string(cursorColumn + 1) + "H";
    if (showCursor) {
        out += "\x1b[?25h";
    }
    return out;
}

} // namespace ui
