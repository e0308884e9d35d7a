#!/usr/bin/env python3
# -*- coding: utf-8 -*-
"""Writes the editor's Windows resources from definitions.py: a resource script (UTF-8, read
by the resource compiler as code page 65001) with dialogs 9001-9004, their init lists (the
framework's dialog-init resources, which fill the drop-down lists), the string table
2700-2710, and the 16-colour bitmap 9034 it names.

    gen_rc.py OUTPUT.rc OUTPUT.bmp
"""

import importlib.util
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))


def load_definitions():
    spec = importlib.util.spec_from_file_location("definitions",
                                                  os.path.join(HERE, "definitions.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


DIALOG_STYLES = {
    "ModalFrame": "DS_MODALFRAME",
    "Popup": "WS_POPUP",
    "Child": "WS_CHILD",
    "Caption": "WS_CAPTION",
    "SystemMenu": "WS_SYSMENU",
}
DIALOG_EX_STYLES = {"ClientEdge": "WS_EX_CLIENTEDGE"}

CONTROL_STYLES = {
    "TabStop": "WS_TABSTOP",
    "Group": "WS_GROUP",
    "Disabled": "WS_DISABLED",
    "Border": "WS_BORDER",
    "VerticalScroll": "WS_VSCROLL",
    "AutoHorizontalScroll": "ES_AUTOHSCROLL",
    "UpperCase": "ES_UPPERCASE",
    "TreeHasButtons": "TVS_HASBUTTONS",
    "TreeHasLines": "TVS_HASLINES",
    "TreeLinesAtRoot": "TVS_LINESATROOT",
    "TreeShowSelectionAlways": "TVS_SHOWSELALWAYS",
    "UpDownAutoBuddy": "UDS_AUTOBUDDY",
    "UpDownSetBuddyInt": "UDS_SETBUDDYINT",
    "UpDownAlignRight": "UDS_ALIGNRIGHT",
    "UpDownArrowKeys": "UDS_ARROWKEYS",
    "Unsorted": None,  # the lists are created without a sort style
}

# Each kind: its window class and the style that makes it that kind.
CONTROL_KINDS = {
    "Label": ("Static", "SS_LEFT"),
    "SunkenFrame": ("Static", "SS_SUNKEN"),
    "PushButton": ("Button", "BS_PUSHBUTTON"),
    "DefaultButton": ("Button", "BS_DEFPUSHBUTTON"),
    "CheckBox": ("Button", "BS_AUTOCHECKBOX"),
    "RadioButton": ("Button", "BS_AUTORADIOBUTTON"),
    "Edit": ("Edit", "ES_LEFT"),
    "DropDownList": ("ComboBox", "CBS_DROPDOWNLIST"),
    "TreeView": ("SysTreeView32", None),
    "UpDown": ("msctls_updown32", None),
    "TabControl": ("SysTabControl32", None),
}


# The framework's resource type of a dialog's init list, and the message of an entry that
# adds a string to a combo box (the framework keeps the 16-bit message numbers).
RT_DLGINIT = 240
DLGINIT_COMBO_ADD_STRING = 0x0403
# The module's texts are CP949: the init lists carry them as such.
MODULE_CODE_PAGE = "cp949"


def quote(text):
    """A resource-script string: doubled quotes; line ends and backslashes as escapes."""
    text = (text or "").replace("\\", "\\\\").replace('"', '""')
    return '"' + text.replace("\r", "\\r").replace("\n", "\\n") + '"'


def style_list(names, table, intrinsic=None):
    styles = [intrinsic] if intrinsic else []
    for name in names:
        if name not in table:
            raise SystemExit(f"gen_rc.py: unknown style {name}")
        if table[name]:
            styles.append(table[name])
    return " | ".join(styles) if styles else "0"


def control_line(control):
    if control.kind not in CONTROL_KINDS:
        raise SystemExit(f"gen_rc.py: unknown control kind {control.kind}")
    window_class, intrinsic = CONTROL_KINDS[control.kind]
    style = style_list(control.styles, CONTROL_STYLES, intrinsic)
    x, y, width, height = control.rect
    return (f"    CONTROL {quote(control.text)}, {control.id}, {quote(window_class)}, {style}, "
            f"{x}, {y}, {width}, {height}")


def dialog_block(dialog):
    width, height = dialog.size
    window_styles = [s for s in dialog.styles if s not in DIALOG_EX_STYLES]
    ex_styles = [s for s in dialog.styles if s in DIALOG_EX_STYLES]
    lines = [
        f"{dialog.id} DIALOGEX 0, 0, {width}, {height}",
        f"STYLE DS_SETFONT | {style_list(window_styles, DIALOG_STYLES)}",
    ]
    if ex_styles:
        lines.append(f"EXSTYLE {style_list(ex_styles, DIALOG_EX_STYLES)}")
    lines += [
        f"CAPTION {quote(dialog.caption)}",
        f"FONT {dialog.font[1]}, {quote(dialog.font[0])}",
        "BEGIN",
    ]
    lines += [control_line(control) for control in dialog.controls]
    lines.append("END")
    return "\n".join(lines)


def dialog_init_data(dialog):
    """The dialog's init list as the framework reads it: per entry the control id (16 bits),
    the message (16 bits), the length of the text with its terminating zero (32 bits) and the
    text; a zero word ends the list. Empty when no control has an initial list."""
    data = bytearray()
    for control in dialog.controls:
        for item in control.items:
            text = item.encode(MODULE_CODE_PAGE) + b"\0"
            data += struct.pack("<HHI", control.id, DLGINIT_COMBO_ADD_STRING, len(text)) + text
    if not data:
        return b""
    return bytes(data + b"\0\0")


def dialog_init_block(dialog):
    """The init list as a user-defined resource of 16-bit words (padded to a whole word)."""
    data = dialog_init_data(dialog)
    if len(data) % 2:
        data += b"\0"
    words = [f"0x{word:04X}" for (word,) in struct.iter_unpack("<H", data)]
    lines = [f"{dialog.id} {RT_DLGINIT}", "BEGIN"]
    for start in range(0, len(words), 8):
        last = start + 8 >= len(words)
        lines.append("    " + ", ".join(words[start:start + 8]) + ("" if last else ","))
    lines.append("END")
    return "\n".join(lines)


def string_table(strings):
    lines = ["STRINGTABLE", "BEGIN"]
    lines += [f"    {number}, {quote(text)}" for number, text in strings]
    lines.append("END")
    return "\n".join(lines)


def resource_script(definitions, bitmap_path):
    parts = [
        "// Generated by gen_rc.py from definitions.py: do not edit.",
        "#pragma code_page(65001)",
        "#include <windows.h>",
        "#include <commctrl.h>",
        "",
    ]
    for dialog in definitions.DIALOGS:
        parts += [dialog_block(dialog), ""]
        if dialog_init_data(dialog):
            parts += [dialog_init_block(dialog), ""]
    parts += [string_table(definitions.STRINGS), ""]
    bitmap = bitmap_path.replace("\\", "/")
    parts.append(f"{definitions.BITMAP_ID} BITMAP {quote(bitmap)}")
    return "\n".join(parts) + "\n"


def bitmap_file(rows):
    """A bottom-up 4-bit BMP with the colours of `rows` (0xRRGGBB) as its palette."""
    height = len(rows)
    width = len(rows[0])
    colours = sorted({pixel for row in rows for pixel in row})
    if len(colours) > 16:
        raise SystemExit("gen_rc.py: the bitmap has more than 16 colours")
    colours += [0] * (16 - len(colours))
    index = {colour: i for i, colour in reversed(list(enumerate(colours)))}
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            line[x // 2] |= index[pixel] << (0 if x % 2 else 4)
        pixels += line
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0)
                       for c in colours)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 4, 0, len(pixels), 2835, 2835,
                       16, 0)
    return header + info + palette + bytes(pixels)


def write_if_changed(path, data):
    try:
        with open(path, "rb") as existing:
            if existing.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as out:
        out.write(data)


def main(argv):
    if len(argv) != 3:
        raise SystemExit(__doc__)
    rc_path, bmp_path = argv[1], argv[2]
    definitions = load_definitions()
    write_if_changed(bmp_path, bitmap_file(definitions.bitmap_rows()))
    script = resource_script(definitions, os.path.abspath(bmp_path))
    write_if_changed(rc_path, script.encode("utf-8"))


if __name__ == "__main__":
    main(sys.argv)
