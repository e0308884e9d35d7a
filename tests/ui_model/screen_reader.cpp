#include "screen_reader.h"

#include "toolkit/ui/terminal/screen_buffer.h"

#include <cstdlib>
#include <sstream>

namespace uitest {

ScreenReader::ScreenReader(int rows, int columns)
    : rows_(rows), columns_(columns),
      cells_(static_cast<size_t>(rows), std::vector<Cell>(static_cast<size_t>(columns))) {}

void ScreenReader::Resize(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    cells_.resize(static_cast<size_t>(rows));
    for (auto& line : cells_) {
        line.resize(static_cast<size_t>(columns));
    }
}

void ScreenReader::Put(const std::string& glyph, int width) {
    if (row_ >= 0 && row_ < rows_ && column_ >= 0 && column_ + width <= columns_) {
        cells_[static_cast<size_t>(row_)][static_cast<size_t>(column_)] = {glyph, reverse_};
        if (width == 2) {
            cells_[static_cast<size_t>(row_)][static_cast<size_t>(column_ + 1)] = {"", reverse_};
        }
    }
    column_ += width;
}

void ScreenReader::Sequence(std::string_view parameters, char final) {
    std::vector<int> numbers;
    std::string text(parameters);
    const bool isPrivate = !text.empty() && text[0] == '?';
    std::stringstream stream(isPrivate ? text.substr(1) : text);
    for (std::string part; std::getline(stream, part, ';');) {
        numbers.push_back(part.empty() ? 0 : std::atoi(part.c_str()));
    }
    auto number = [&](size_t at, int otherwise) {
        return at < numbers.size() && numbers[at] != 0 ? numbers[at] : otherwise;
    };
    if (isPrivate) {
        if (number(0, 0) == 25) {
            cursorShown_ = final == 'h';
        }
        if (number(0, 0) == 1049) {
            cells_.assign(static_cast<size_t>(rows_),
                          std::vector<Cell>(static_cast<size_t>(columns_)));
        }
        return;
    }
    switch (final) {
    case 'H':
        row_ = number(0, 1) - 1;
        column_ = number(1, 1) - 1;
        break;
    case 'J':
        cells_.assign(static_cast<size_t>(rows_), std::vector<Cell>(static_cast<size_t>(columns_)));
        break;
    case 'm':
        if (numbers.empty()) {
            reverse_ = false;
        }
        for (int value : numbers) {
            if (value == 0) {
                reverse_ = false;
            } else if (value == 7) {
                reverse_ = true;
            }
        }
        break;
    default:
        break;
    }
}

void ScreenReader::Feed(std::string_view bytes) {
    std::string data = pending_ + std::string(bytes);
    pending_.clear();
    size_t at = 0;
    while (at < data.size()) {
        const unsigned char byte = static_cast<unsigned char>(data[at]);
        if (byte == 0x1b) {
            if (at + 1 >= data.size()) {
                pending_ = data.substr(at);
                return;
            }
            if (data[at + 1] != '[') {
                at += 2;
                continue;
            }
            size_t end = at + 2;
            while (end < data.size() && !(data[end] >= 0x40 && data[end] <= 0x7e)) {
                ++end;
            }
            if (end >= data.size()) {
                pending_ = data.substr(at);
                return;
            }
            Sequence(std::string_view(data).substr(at + 2, end - at - 2), data[end]);
            at = end + 1;
            continue;
        }
        if (byte == '\r') {
            column_ = 0;
            ++at;
            continue;
        }
        if (byte == '\n') {
            ++row_;
            ++at;
            continue;
        }
        if (byte < 0x20) {
            ++at;
            continue;
        }
        size_t length = byte < 0x80 ? 1 : byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : 2;
        if (at + length > data.size()) {
            pending_ = data.substr(at);
            return;
        }
        const std::string glyph = data.substr(at, length);
        size_t walk = 0;
        const uint32_t codePoint = ui::NextCodePoint(glyph, walk);
        Put(glyph, ui::ScreenBuffer::CodePointWidth(codePoint));
        at += length;
    }
}

std::string ScreenReader::Row(int row) const {
    std::string text;
    for (const Cell& cell : cells_[static_cast<size_t>(row)]) {
        text += cell.glyph;
    }
    return text.substr(0, text.find_last_not_of(' ') + 1);
}

std::string ScreenReader::Text() const {
    std::string text;
    for (int row = 0; row < rows_; ++row) {
        text += Row(row) + "\n";
    }
    return text;
}

bool ScreenReader::Contains(const std::string& utf8) const {
    return RowOf(utf8) >= 0;
}

int ScreenReader::RowOf(const std::string& utf8) const {
    for (int row = 0; row < rows_; ++row) {
        if (Row(row).find(utf8) != std::string::npos) {
            return row;
        }
    }
    return -1;
}

std::string ScreenReader::ReverseText(int row) const {
    std::string text;
    for (const Cell& cell : cells_[static_cast<size_t>(row)]) {
        if (cell.reverse) {
            text += cell.glyph;
        }
    }
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string ScreenReader::Highlighted() const {
    std::string joined;
    for (int row = 0; row < rows_; ++row) {
        const std::string text = ReverseText(row);
        if (!text.empty()) {
            joined += (joined.empty() ? "" : "|") + text;
        }
    }
    return joined;
}

} // namespace uitest
