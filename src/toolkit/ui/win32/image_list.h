// Image lists cut from a bitmap resource, or from the bitmap's pixels when the module has
// no such resource.
#pragma once

#include "toolkit/ui/resource_templates.h"

#include <windows.h>

#include <commctrl.h>

namespace ui::win32 {

COLORREF ColorRefFromRgb(uint32_t rgb);
uint32_t RgbFromColorRef(COLORREF color);

HIMAGELIST ImageListFromBitmap(const FoundBitmap& bitmap, int imageWidth, int grow,
                               uint32_t maskColor);

} // namespace ui::win32
