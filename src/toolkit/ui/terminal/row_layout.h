// A dialog's lines on the screen. At eight dialog units a line a dialog may need more lines
// than the terminal has; most of them are empty (the inside of frames and trees, the space
// between rows of controls). Those are given up, evenly, until the dialog fits; every line
// that shows something keeps a line of its own, in its order.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/model/window_model.h"

#include <vector>

namespace ui {

class TOOLKIT_API RowLayout {
public:
    // Lines a tree keeps inside its border, whatever the terminal's height.
    static constexpr int kTreeMinimumRows = 3;

    // The dialog's client area in at most `rows` lines, or in as few as it can take.
    static RowLayout Fit(const ModelWindow& dialog, int rows);
    // The fewest client lines the dialog can be shown in.
    static int MinimumRows(const ModelWindow& dialog);

    // The screen line (from the client area's top) of a design line; a line given up shares
    // the screen line of the next one kept.
    int Row(int designRow) const;
    int Rows() const { return rows_; }

private:
    std::vector<int> rowOf_;
    int rows_ = 0;
};

} // namespace ui
