#include "toolkit/ui/terminal/dialog_painter.h"

#include "toolkit/ui/terminal/cell_layout.h"
#include "toolkit/ui/terminal/cp949_text.h"

#include <algorithm>

namespace ui {
namespace {

// A box beside a label that runs long moves right by at most this much to keep it readable.
constexpr int kMaxLabelShift = 3;

struct Painter {
    ScreenBuffer& screen;
    const WindowModel& model;
    int top; // the client area's origin on the screen
    int left;
    const RowLayout& layout;
    bool active;
    Caret& caret;

    CellRect Line(const ModelWindow& control) const { return Shift(LineCells(control.rect)); }
    CellRect Frame(const ModelWindow& control) const { return Shift(FrameCells(control.rect)); }
    CellRect Shift(CellRect cells) const {
        cells.top = top + layout.Row(cells.top);
        cells.bottom = top + layout.Row(cells.bottom);
        cells.left += left;
        cells.right += left;
        return cells;
    }

    bool Focused(const ModelWindow& control) const { return active && model.Focus() == &control; }
    uint8_t Style(const ModelWindow& control, uint8_t base = kPlain) const {
        uint8_t style = base;
        if (!control.enabled) {
            style |= kDim;
        }
        if (Focused(control)) {
            style |= kReverse;
        }
        return style;
    }

    void Label(const ModelWindow& control) {
        const CellRect cells = Line(control);
        screen.Put(cells.top, cells.left, ShowCp949(control.text), Style(control));
    }

    void Button(const ModelWindow& control) {
        const CellRect cells = Line(control);
        const std::string text = ShowCp949(control.text);
        const int width = cells.right - cells.left + 1;
        const int textWidth = ScreenBuffer::TextWidth(text);
        const uint8_t base = control.kind == ControlKind::DefaultButton ? kBold : kPlain;
        if (textWidth + 2 > width) {
            screen.Put(cells.top, cells.left, text, Style(control, base));
            return;
        }
        screen.Put(cells.top, cells.left, "[", Style(control, base));
        screen.Fill(cells.top, cells.left + 1, width - 2, " ", Style(control, base));
        screen.Put(cells.top, cells.left + 1 + (width - 2 - textWidth) / 2, text,
                   Style(control, base));
        screen.Put(cells.top, cells.right, "]", Style(control, base));
    }

    // Blank cells from the column on, up to a frame's border or the screen's edge.
    int Room(int row, int column) const {
        int end = column;
        while (end < screen.Columns() && screen.IsBlank(row, end)) {
            ++end;
        }
        return end - column;
    }

    // The mark takes a cell more than the box Windows draws: where the text would run into a
    // frame's border, the blank after the mark goes first, then the end of the text.
    void Choice(const ModelWindow& control) {
        const CellRect cells = Line(control);
        const bool radio = control.kind == ControlKind::RadioButton;
        const std::string mark =
            radio ? (control.check ? "(*)" : "( )") : (control.check ? "[x]" : "[ ]");
        const std::string text = ShowCp949(control.text);
        const int room = Room(cells.top, cells.left);
        const int kMarkCells = 3;
        const std::string gap = kMarkCells + 1 + ScreenBuffer::TextWidth(text) <= room ? " " : "";
        screen.Put(cells.top, cells.left, mark + gap + text, Style(control), cells.left + room);
    }

    // Where a box starts: at its column, or just after a label that ran into it.
    int BoxLeft(const CellRect& cells) const {
        int at = cells.left;
        while (at < cells.left + kMaxLabelShift && at < cells.right - 2 &&
               !screen.IsBlank(cells.top, at)) {
            ++at;
        }
        return at;
    }

    void Edit(ModelWindow& control) {
        CellRect cells = Line(control);
        cells.left = BoxLeft(cells);
        if (ModelWindow* upDown = model.UpDownOf(&control);
            upDown != nullptr && (upDown->style & kUpDownAlignRight) != 0) {
            cells.right = std::max(cells.left + 2, cells.right - 2); // the arrows sit inside
        }
        const int inner = std::max(1, cells.right - cells.left - 1);
        const std::string& text = control.text;
        control.caret = CharStartCp949(text, std::min(control.caret, text.size()));
        // In CP949 a byte is a cell, so the caret's byte offset is its cell offset.
        int caretCell = static_cast<int>(control.caret);
        if (caretCell < control.scroll) {
            control.scroll = caretCell;
        }
        if (caretCell > control.scroll + inner - 1) {
            control.scroll = caretCell - inner + 1;
        }
        size_t from = static_cast<size_t>(std::max(0, control.scroll));
        if (from < text.size() && CharStartCp949(text, from) != from) {
            from = NextCharCp949(text, from);
        }
        control.scroll = static_cast<int>(std::min(from, text.size()));
        size_t to = from;
        while (to < text.size() && static_cast<int>(NextCharCp949(text, to) - from) <= inner) {
            to = NextCharCp949(text, to);
        }
        const uint8_t fieldStyle = Style(control, kUnderline) &
                                   static_cast<uint8_t>(control.textSelected ? 0xFF : ~kReverse);
        screen.Put(cells.top, cells.left, "[", Style(control) & ~kReverse);
        screen.Fill(cells.top, cells.left + 1, inner, " ", fieldStyle);
        screen.Put(cells.top, cells.left + 1, ShowCp949(text.substr(from, to - from)), fieldStyle,
                   cells.left + 1 + inner);
        screen.Put(cells.top, cells.left + 1 + inner, "]", Style(control) & ~kReverse);
        if (Focused(control)) {
            caret.shown = true;
            caret.row = cells.top;
            caret.column = cells.left + 1 + std::min(inner - 1, caretCell - control.scroll);
        }
    }

    void DropDown(const ModelWindow& control) {
        CellRect cells = Line(control);
        cells.left = BoxLeft(cells);
        const int inner = std::max(1, cells.right - cells.left - 2);
        std::string text;
        if (control.curSel >= 0 && control.curSel < static_cast<int>(control.items.size())) {
            text = ShowCp949(control.items[static_cast<size_t>(control.curSel)]);
        }
        screen.Put(cells.top, cells.left, "[", Style(control) & ~kReverse);
        screen.Fill(cells.top, cells.left + 1, inner, " ", Style(control));
        screen.Put(cells.top, cells.left + 1, text, Style(control), cells.left + 1 + inner);
        screen.Put(cells.top, cells.right - 1, "v", Style(control) & ~kReverse);
        screen.Put(cells.top, cells.right, "]", Style(control) & ~kReverse);
    }

    void UpDown(const ModelWindow& control) {
        CellRect cells = Line(control);
        if (control.buddy != nullptr && (control.style & kUpDownAlignRight) != 0) {
            cells = Line(*control.buddy);
            cells.left = cells.right - 1;
        }
        screen.Put(cells.top, cells.left, "^v", Style(control));
    }

    void Tree(ModelWindow& control) {
        CellRect cells = Frame(control);
        if ((control.style & kBorder) != 0) {
            screen.Box(cells.top, cells.left, cells.bottom, cells.right,
                       Focused(control) ? kBold : kPlain);
            ++cells.top;
            --cells.bottom;
            ++cells.left;
            --cells.right;
        }
        const int rows = cells.bottom - cells.top + 1;
        const std::vector<ModelTreeItem*> items = WindowModel::TreeItemsInOrder(&control, true);
        const auto selected = std::find(items.begin(), items.end(), control.treeSelected);
        if (selected != items.end()) {
            const int index = static_cast<int>(selected - items.begin());
            control.scroll = std::clamp(control.scroll, index - rows + 1, index);
        }
        control.scroll =
            std::clamp(control.scroll, 0, std::max(0, static_cast<int>(items.size()) - rows));
        const bool lines = (control.style & kTreeLinesAtRoot) != 0;
        for (int row = 0; row < rows; ++row) {
            const size_t index = static_cast<size_t>(control.scroll + row);
            if (index >= items.size()) {
                break;
            }
            const ModelTreeItem& item = *items[index];
            const int indent = 2 * (WindowModel::Depth(&item) + (lines ? 1 : 0));
            std::string marker = "  ";
            if (!item.children.empty() && (control.style & kTreeHasButtons) != 0) {
                marker = item.expanded ? "- " : "+ ";
            }
            uint8_t style = kPlain;
            if (&item == control.treeSelected) {
                style = Focused(control) ? kReverse : kUnderline;
            }
            const int at =
                screen.Put(cells.top + row, cells.left + indent, marker, kPlain, cells.right + 1);
            screen.Put(cells.top + row, at, ShowCp949(item.text), style, cells.right + 1);
        }
    }

    void Tab(const ModelWindow& control) {
        const CellRect cells = Frame(control);
        screen.Box(cells.top + 1, cells.left, cells.bottom, cells.right);
        int at = cells.left + 1;
        for (size_t index = 0; index < control.tabs.size(); ++index) {
            const bool current = static_cast<int>(index) == control.curTab;
            const std::string title = ShowCp949(control.tabs[index]);
            uint8_t style = current ? kBold : kPlain;
            if (current && Focused(control)) {
                style |= kReverse;
            }
            at = screen.Put(cells.top, at, current ? "[" : " ", style, cells.right);
            at = screen.Put(cells.top, at, title, style, cells.right);
            at = screen.Put(cells.top, at, current ? "]" : " ", style, cells.right);
        }
    }

    void Control(ModelWindow& control) {
        switch (control.kind) {
        case ControlKind::Label:
            Label(control);
            break;
        case ControlKind::SunkenFrame: {
            const CellRect cells = Frame(control);
            screen.Box(cells.top, cells.left, cells.bottom, cells.right, kDim);
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefaultButton:
            Button(control);
            break;
        case ControlKind::CheckBox:
        case ControlKind::RadioButton:
            Choice(control);
            break;
        case ControlKind::Edit:
            Edit(control);
            break;
        case ControlKind::DropDownList:
            DropDown(control);
            break;
        case ControlKind::TreeView:
            Tree(control);
            break;
        case ControlKind::UpDown:
            UpDown(control);
            break;
        case ControlKind::TabControl:
            Tab(control);
            break;
        }
    }
};

// Frames first, labels next, then the rest, so boxes can make room for long labels.
int PaintRank(const ModelWindow& control) {
    switch (control.kind) {
    case ControlKind::SunkenFrame:
    case ControlKind::TabControl:
        return 0;
    case ControlKind::Label:
        return 1;
    default:
        return 2;
    }
}

} // namespace

int DialogWidth(const ModelWindow& dialog) {
    return ClientColumns(dialog.rect.width) + 2;
}

int DialogHeight(const RowLayout& rows) {
    return rows.Rows() + 2;
}

int MinimumDialogHeight(const ModelWindow& dialog) {
    return RowLayout::MinimumRows(dialog) + 2;
}

void PaintDialog(ScreenBuffer& screen, const WindowModel& model, ModelWindow& dialog,
                 const RowLayout& rows, int top, int left, bool active, Caret& caret) {
    const int width = DialogWidth(dialog);
    const int height = DialogHeight(rows);
    for (int row = top; row < top + height; ++row) {
        screen.Fill(row, left, width, " ");
    }
    screen.Box(top, left, top + height - 1, left + width - 1, active ? kBold : kPlain);
    const std::string caption = " " + ShowCp949(dialog.text) + " ";
    screen.Put(top, left + 2, caption, active ? kBold : kPlain, left + width - 5);
    if ((dialog.dialogTemplate != nullptr) && (dialog.dialogTemplate->style & kSystemMenu)) {
        screen.Put(top, left + width - 4, "[X]", kPlain);
    }
    std::vector<ModelWindow*> controls;
    for (ModelWindow* control : model.TabOrder(&dialog)) {
        if (WindowModel::ReallyVisible(control)) {
            controls.push_back(control);
        }
    }
    std::stable_sort(controls.begin(), controls.end(),
                     [](const auto* a, const auto* b) { return PaintRank(*a) < PaintRank(*b); });
    Painter painter{screen, model, top + 1, left + 1, rows, active, caret};
    for (ModelWindow* control : controls) {
        painter.Control(*control);
    }
}

} // namespace ui
