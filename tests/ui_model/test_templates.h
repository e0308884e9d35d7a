// Dialog templates shaped like the editor's: a dialog with a tab control and buttons, a
// page with radio groups, check boxes and lists, a page with a tree, and a dialog with edit
// fields and an up-down.
#pragma once

#include "toolkit/ui/resource_templates.h"

namespace uitest {

enum : int {
    kTab = 100,
    kEditButton = 101, // the default button
    kDeleteButton = 102,
    kTree = 200,
    kPort = 300,
    kBaud = 301,
    kParityNone = 302, // group of three
    kParityEven = 303,
    kParityOdd = 304,
    kBits7 = 305, // group of two, disabled
    kBits8 = 306,
    kRtsCts = 307,
    kName = 400, // upper-case edit
    kModel = 401,
    kNumber = 402,
    kSpin = 403,
    kDescription = 404,
};

const ui::DialogTemplate& MainDialog();
const ui::DialogTemplate& TreePage();
const ui::DialogTemplate& PortPage();
const ui::DialogTemplate& EntryDialog();
const ui::BitmapResource& StripBitmap(); // 58 x 16

} // namespace uitest
