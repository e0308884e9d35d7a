# -*- coding: utf-8 -*-
"""The editor's resources, one source of truth: dialog templates, their initial lists and
the bitmap of the station tree. Generators turn this into the C++ tables the window systems
read (ui::DialogTemplate, ui::BitmapResource) and into the Windows resource script.

Texts are readable UTF-8 here; the generated C++ is compiled to CP949 bytes and the
resource script is compiled as UTF-8 (code page 65001) into UTF-16 resources.

Rectangles are (x, y, width, height) in dialog units. Control ids of labels and frames are
-1. Styles name ui::ControlStyle / ui::DialogStyle bits without their "k" prefix.
"""

from dataclasses import dataclass, field
from typing import List, Optional, Tuple

FONT = ("MS Sans Serif", 8)


@dataclass
class Control:
    id: int
    kind: str  # a ui::ControlKind name
    text: Optional[str]
    rect: Tuple[int, int, int, int]
    styles: List[str] = field(default_factory=list)
    items: List[str] = field(default_factory=list)  # initial list of a drop-down list


@dataclass
class Dialog:
    id: int
    name: str  # the C++ symbol suffix, e.g. SettingsDialog
    caption: str
    size: Tuple[int, int]
    styles: List[str]
    controls: List[Control]
    font: Tuple[str, int] = FONT


STATIC = -1
IDOK = 1
IDCANCEL = 2

MODELS = [
    "VFD007A21A", "VFD007A23A", "VFD007A43A", "VFD015A21A", "VFD015A23A", "VFD015A43A",
    "VFD022A21A", "VFD022A23A", "VFD022A43A", "VFD037A23A", "VFD037A43A", "VFD055A23A",
    "VFD055A43A", "VFD075A23A", "VFD075A43A", "VFD110A23A", "VFD110A43A", "VFD150A23A",
    "VFD150A43A", "VFD185A23A", "VFD185A43A", "VFD220A23A", "VFD220A43A",
]

BAUD_RATES = [" 1200", " 2400", " 4800"]

MODAL = ["ModalFrame", "Popup", "Caption", "SystemMenu", "ClientEdge"]
PAGE = ["Child"]

DIALOGS = [
    Dialog(9001, "SettingsDialog", "DELTA VFD-A Series Motor Driver 설정", (243, 203), MODAL, [
        Control(9006, "TabControl", None, (6, 6, 176, 192), ["TabStop"]),
        Control(9007, "DefaultButton", "편 집", (188, 20, 48, 14), ["TabStop"]),
        Control(9008, "PushButton", "삭 제", (188, 40, 48, 14), ["TabStop"]),
        Control(9009, "PushButton", "스테이션 추가", (188, 60, 48, 14), ["TabStop"]),
        Control(9011, "PushButton", "저 장", (188, 80, 48, 14), ["TabStop"]),
        Control(IDCANCEL, "PushButton", "종 료", (188, 100, 48, 14), ["TabStop"]),
    ]),
    Dialog(9002, "StationPage", "스테이션", (171, 168), PAGE, [
        Control(9012, "TreeView", None, (4, 4, 164, 160),
                ["Border", "TabStop", "TreeHasButtons", "TreeHasLines",
                 "TreeShowSelectionAlways"]),
    ]),
    Dialog(9003, "CommPortPage", "통신포트", (170, 170), PAGE, [
        Control(STATIC, "SunkenFrame", None, (16, 41, 140, 22)),
        Control(STATIC, "SunkenFrame", None, (16, 77, 60, 36)),
        Control(STATIC, "SunkenFrame", None, (84, 77, 72, 36)),
        Control(STATIC, "Label", "통신포트", (16, 15, 28, 8)),
        Control(9013, "DropDownList", None, (46, 12, 36, 78),
                ["VerticalScroll", "Unsorted", "TabStop"]),
        Control(STATIC, "Label", "전송속도", (90, 15, 28, 8)),
        Control(9014, "DropDownList", None, (120, 12, 36, 80),
                ["VerticalScroll", "Unsorted", "TabStop"], BAUD_RATES),
        Control(STATIC, "Label", "Parity", (16, 33, 24, 8)),
        Control(9015, "RadioButton", "None", (28, 45, 32, 10), ["Group", "TabStop", "Disabled"]),
        Control(9016, "RadioButton", "Even", (72, 45, 32, 10), ["Disabled"]),
        Control(9017, "RadioButton", "Odd", (116, 45, 29, 10), ["Disabled"]),
        Control(STATIC, "Label", "Data Bits", (16, 69, 32, 8)),
        Control(9018, "RadioButton", "7 Bits", (28, 85, 34, 10),
                ["Group", "TabStop", "Disabled"]),
        Control(9019, "RadioButton", "8 Bits", (28, 100, 34, 10), ["Disabled"]),
        Control(STATIC, "Label", "Stop Bit(s)", (84, 69, 36, 8)),
        Control(9020, "RadioButton", "1 Stop Bit", (96, 85, 47, 10),
                ["Group", "TabStop", "Disabled"]),
        Control(9021, "RadioButton", "2 Stop Bits", (96, 100, 51, 10), ["Disabled"]),
        Control(9022, "CheckBox", "Check Sum 사용", (16, 120, 67, 10), ["TabStop", "Disabled"]),
        Control(9039, "CheckBox", "RTS/CTS 제어", (16, 135, 64, 10), ["TabStop"]),
    ]),
    Dialog(9004, "StationDialog", "스테이션 설정", (199, 123), MODAL, [
        Control(STATIC, "Label", "스테이션 이름", (8, 11, 46, 8)),
        Control(9023, "Edit", None, (56, 8, 88, 14),
                ["Border", "TabStop", "AutoHorizontalScroll", "UpperCase"]),
        Control(STATIC, "Label", "Inv. Model", (8, 33, 46, 8)),
        Control(9024, "DropDownList", None, (56, 30, 88, 66),
                ["VerticalScroll", "Unsorted", "TabStop"], MODELS),
        Control(STATIC, "Label", "통신보드 국번", (8, 55, 46, 8)),
        Control(9025, "Edit", None, (56, 52, 32, 14),
                ["Border", "TabStop", "AutoHorizontalScroll"]),
        Control(9026, "UpDown", None, (80, 56, 9, 14),
                ["UpDownAutoBuddy", "UpDownSetBuddyInt", "UpDownAlignRight",
                 "UpDownArrowKeys"]),
        Control(STATIC, "Label", "(0 - 31)", (92, 55, 28, 8)),
        Control(STATIC, "Label", "스테이션 설명", (8, 75, 46, 8)),
        Control(9027, "Edit", None, (56, 74, 88, 42),
                ["Border", "TabStop", "AutoHorizontalScroll"]),
        Control(IDOK, "DefaultButton", "등 록", (152, 8, 40, 14), ["TabStop"]),
        Control(IDCANCEL, "PushButton", "취 소", (152, 30, 40, 14), ["TabStop"]),
    ]),
]

# The module's string table (the editor's messages and questions). 2703-2706 and 2710 are
# kept although no dialog shows them. "\r\n" is a line break in the message box.
STRINGS = [
    (2700, "스테이션 이름이 설정되지 않았습니다."),
    (2701, "같은 이름의 스테이션이 이미 사용되었습니다."),
    (2702, "국번이 다른 스테이션과 중복되어 설정되었습니다."),
    (2703, "통신포트가 설정되지 않았습니다."),
    (2704, "통신속도가 설정되지 않았습니다."),
    (2705, "스테이션이 선택되지 않았습니다."),
    (2706, "스테이션 모델이 설정되지 않았습니다."),
    (2707, "국번이 잘못 설정되었습니다."),
    (2708, "선택된 스테이션을 삭제하면 스테이션에 설정된 통신블록도 같이 삭제됩니다.\r\n"
           "삭제하시겠습니까?"),
    (2709, "데이터가 변경되었습니다.  저장하시겠습니까?"),
    (2710, "설정 파일을 저장할 수 없습니다."),
]

# Bitmap 9034: 16-pixel images, 16 high, 16 colours, 58 pixels wide (three whole images and
# two spare columns). Image 0 is the configuration, image 1 a station, image 2 unused.
# Magenta (FF00FF) is the mask colour.
BITMAP_ID = 9034
BITMAP_PALETTE = {
    ".": 0xFF00FF,  # transparent
    "k": 0x000000,
    "w": 0xFFFFFF,
    "g": 0x808080,
    "s": 0xC0C0C0,
    "b": 0x000080,
    "B": 0x0000FF,
    "y": 0xFFFF00,
    "G": 0x008000,
    "r": 0x800000,
}
# Each image: 16 rows of 16 characters.
BITMAP_IMAGES = [
    [  # the configuration: a document with a serial line
        "................",
        "..kkkkkkkkk.....",
        "..kwwwwwwwkk....",
        "..kwwwwwwwkwk...",
        "..kwbbbbwwkkkk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbbbwwk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbbbwwk..",
        "..kwwwwwwwwwwk..",
        "..kwGGGGGGGwwk..",
        "..kwwwwwwwwwwk..",
        "..kwbbbbbwwwwk..",
        "..kwwwwwwwwwwk..",
        "..kkkkkkkkkkkk..",
        "................",
    ],
    [  # a station: a drive cabinet with a display and a fan
        "................",
        "...kkkkkkkkkk...",
        "...ksssssssssk..",
        "...ksbbbbbbgsk..",
        "...ksbyyyybgsk..",
        "...ksbbbbbbgsk..",
        "...ksggggggssk..",
        "...kssssssssk...",
        "...ksGsrsBssk...",
        "...kssssssssk...",
        "...ksgkgkgksk...",
        "...kskgkgkgsk...",
        "...ksgkgkgksk...",
        "...kssssssssk...",
        "...kkkkkkkkkk...",
        "................",
    ],
    [  # spare
        "................",
    ] * 16,
]
BITMAP_WIDTH = 58
BITMAP_HEIGHT = 16


def bitmap_rows():
    """The bitmap as rows of 0xRRGGBB values, top row first."""
    rows = []
    for y in range(BITMAP_HEIGHT):
        row = []
        for image in BITMAP_IMAGES:
            row.extend(BITMAP_PALETTE[c] for c in image[y].ljust(16, ".")[:16])
        row = (row + [BITMAP_PALETTE["."]] * BITMAP_WIDTH)[:BITMAP_WIDTH]
        rows.append(row)
    return rows
