// Dialog units to character cells: 1 unit is a quarter of a character across and an eighth
// of a line down, which is what dialog units mean for the average character of the font.
#pragma once

#include "platform/export.h"

#include "toolkit/ui/resource_templates.h"

namespace ui {

struct CellRect {
    int top = 0; // rows and columns, inclusive
    int left = 0;
    int bottom = 0;
    int right = 0;
};

// Frames, trees and tab controls: every line the rectangle touches.
TOOLKIT_API CellRect FrameCells(const DialogRect& rect);
// One-line controls (labels, buttons, edits, lists): the line through their text.
TOOLKIT_API CellRect LineCells(const DialogRect& rect);
// A dialog's client area in cells, without its border.
TOOLKIT_API int ClientColumns(int widthUnits);
TOOLKIT_API int ClientRows(int heightUnits);

} // namespace ui
