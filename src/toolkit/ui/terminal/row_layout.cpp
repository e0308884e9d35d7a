#include "toolkit/ui/terminal/row_layout.h"

#include "toolkit/ui/terminal/cell_layout.h"

#include <algorithm>

namespace ui {
namespace {

// Design lines that show something, as flags by line.
struct UsedLines {
    std::vector<bool> used;

    void Mark(int row) {
        if (row >= 0) {
            if (static_cast<size_t>(row) >= used.size()) {
                used.resize(static_cast<size_t>(row) + 1, false);
            }
            used[static_cast<size_t>(row)] = true;
        }
    }

    void MarkControl(const ModelWindow& control) {
        switch (control.kind) {
        case ControlKind::SunkenFrame:
            MarkFrame(FrameCells(control.rect), 0);
            break;
        case ControlKind::TabControl: // the tabs' line above the frame
            MarkFrame(FrameCells(control.rect), 0);
            Mark(FrameCells(control.rect).top + 1);
            break;
        case ControlKind::TreeView:
            MarkFrame(FrameCells(control.rect), RowLayout::kTreeMinimumRows);
            break;
        default:
            Mark(LineCells(control.rect).top);
            break;
        }
    }

    void MarkFrame(const CellRect& cells, int insideRows) {
        Mark(cells.top);
        Mark(cells.bottom);
        for (int row = cells.top + 1; row <= std::min(cells.top + insideRows, cells.bottom);
             ++row) {
            Mark(row);
        }
    }

    // The dialog's controls and those of its pages, shown or not, so that switching pages
    // moves nothing.
    void MarkWindow(const ModelWindow& window) {
        for (const auto& control : window.controls) {
            if (control->type == ModelWindowType::Page) {
                MarkWindow(*control);
            } else {
                MarkControl(*control);
            }
        }
    }
};

UsedLines LinesOf(const ModelWindow& dialog) {
    UsedLines lines;
    lines.MarkWindow(dialog);
    lines.used.resize(
        std::max(lines.used.size(), static_cast<size_t>(ClientRows(dialog.rect.height))), false);
    return lines;
}

// The position, in `shown`, of the middle of the longest run of empty lines, or -1.
int MiddleOfLongestGap(const std::vector<int>& shown, const std::vector<bool>& used) {
    int bestStart = -1;
    int bestLength = 0;
    const int count = static_cast<int>(shown.size());
    for (int at = 0; at < count;) {
        const int start = at;
        while (at < count && !used[static_cast<size_t>(shown[static_cast<size_t>(at)])]) {
            ++at;
        }
        if (at - start > bestLength) {
            bestStart = start;
            bestLength = at - start;
        }
        at = std::max(at, start + 1);
    }
    return bestStart < 0 ? -1 : bestStart + bestLength / 2;
}

} // namespace

RowLayout RowLayout::Fit(const ModelWindow& dialog, int rows) {
    const UsedLines lines = LinesOf(dialog);
    std::vector<int> shown(lines.used.size());
    for (size_t row = 0; row < shown.size(); ++row) {
        shown[row] = static_cast<int>(row);
    }
    while (static_cast<int>(shown.size()) > rows) {
        const int at = MiddleOfLongestGap(shown, lines.used);
        if (at < 0) {
            break;
        }
        shown.erase(shown.begin() + at);
    }
    RowLayout layout;
    layout.rows_ = static_cast<int>(shown.size());
    layout.rowOf_.resize(lines.used.size());
    for (size_t row = 0; row < layout.rowOf_.size(); ++row) {
        layout.rowOf_[row] = static_cast<int>(
            std::lower_bound(shown.begin(), shown.end(), static_cast<int>(row)) - shown.begin());
    }
    return layout;
}

int RowLayout::MinimumRows(const ModelWindow& dialog) {
    const UsedLines lines = LinesOf(dialog);
    return static_cast<int>(std::count(lines.used.begin(), lines.used.end(), true));
}

int RowLayout::Row(int designRow) const {
    if (designRow < 0) {
        return designRow;
    }
    const size_t row = static_cast<size_t>(designRow);
    return row < rowOf_.size() ? rowOf_[row]
                               : rows_ + (designRow - static_cast<int>(rowOf_.size()));
}

} // namespace ui
