#include "toolkit/ui/terminal/cell_layout.h"

#include <algorithm>

namespace ui {
namespace {

constexpr int kUnitsPerColumn = 4;
constexpr int kUnitsPerRow = 8;
// A one-line control's text sits in the upper part of a box at most this high.
constexpr int kLineBoxUnits = 14;

int Column(int x) {
    return (x + kUnitsPerColumn / 2) / kUnitsPerColumn;
}

} // namespace

CellRect FrameCells(const DialogRect& rect) {
    CellRect cells;
    cells.top = rect.y / kUnitsPerRow;
    cells.bottom = std::max(cells.top, (rect.y + rect.height) / kUnitsPerRow);
    cells.left = Column(rect.x);
    cells.right = std::max(cells.left, Column(rect.x + rect.width) - 1);
    return cells;
}

CellRect LineCells(const DialogRect& rect) {
    CellRect cells;
    // The text's middle, nudged up so that a label and the box beside it share a line.
    const int middle = rect.y + std::min(rect.height, kLineBoxUnits) / 2 - 2;
    cells.top = cells.bottom = std::max(0, middle) / kUnitsPerRow;
    cells.left = Column(rect.x);
    cells.right = std::max(cells.left, Column(rect.x + rect.width) - 1);
    return cells;
}

int ClientColumns(int widthUnits) {
    return (widthUnits + kUnitsPerColumn - 1) / kUnitsPerColumn;
}

int ClientRows(int heightUnits) {
    return (heightUnits + kUnitsPerRow - 1) / kUnitsPerRow;
}

} // namespace ui
