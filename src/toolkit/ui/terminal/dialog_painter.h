// Draws a dialog of the window model, with its visible pages, into a screen buffer.
#pragma once

#include "toolkit/ui/model/window_model.h"
#include "toolkit/ui/terminal/row_layout.h"
#include "toolkit/ui/terminal/screen_buffer.h"

namespace ui {

struct Caret {
    bool shown = false;
    int row = 0;
    int column = 0;
};

// Cells a dialog takes on the screen, its border included: its width, its height in the
// lines of `rows`, and the fewest lines it can be shown in.
int DialogWidth(const ModelWindow& dialog);
int DialogHeight(const RowLayout& rows);
int MinimumDialogHeight(const ModelWindow& dialog);

// Draws the dialog with its top-left border cell at (top, left), its lines placed by `rows`. The
// focused control is drawn highlighted when `active`; a focused edit field puts the caret into
// `caret`. Edit and tree scroll positions are kept up to date in the model.
void PaintDialog(ScreenBuffer& screen, const WindowModel& model, ModelWindow& dialog,
                 const RowLayout& rows, int top, int left, bool active, Caret& caret);

} // namespace ui
