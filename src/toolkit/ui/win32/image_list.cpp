#include "toolkit/ui/win32/image_list.h"

namespace ui::win32 {
namespace {

HIMAGELIST FromResource(HINSTANCE module, int id, int imageWidth, int grow, COLORREF mask) {
    if (module == nullptr || FindResourceW(module, MAKEINTRESOURCEW(id),
                                           MAKEINTRESOURCEW(2) /* RT_BITMAP */) == nullptr) {
        return nullptr;
    }
    return ImageList_LoadImageW(module, MAKEINTRESOURCEW(id), imageWidth, grow, mask, IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
}

HBITMAP BitmapFromPixels(const BitmapResource& bitmap) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bitmap.width;
    info.bmiHeader.biHeight = -bitmap.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP handle = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (handle == nullptr) {
        return nullptr;
    }
    // 32-bit DIB pixels are 0x00RRGGBB, as the resource keeps them.
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < bitmap.pixels.size(); ++i) {
        out[i] = bitmap.pixels[i] & 0xFFFFFFu;
    }
    return handle;
}

HIMAGELIST FromPixels(const BitmapResource& bitmap, int imageWidth, int grow, COLORREF mask) {
    const size_t expected = static_cast<size_t>(bitmap.width) * static_cast<size_t>(bitmap.height);
    if (bitmap.width <= 0 || bitmap.height <= 0 || bitmap.pixels.size() != expected) {
        return nullptr;
    }
    HIMAGELIST list = ImageList_Create(imageWidth, bitmap.height, ILC_COLOR24 | ILC_MASK,
                                       bitmap.width / imageWidth, grow);
    HBITMAP strip = BitmapFromPixels(bitmap);
    if (list != nullptr && strip != nullptr) {
        ImageList_AddMasked(list, strip, mask);
    }
    if (strip != nullptr) {
        DeleteObject(strip);
    }
    return list;
}

} // namespace

COLORREF ColorRefFromRgb(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

uint32_t RgbFromColorRef(COLORREF color) {
    return (static_cast<uint32_t>(GetRValue(color)) << 16) |
           (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

HIMAGELIST ImageListFromBitmap(const FoundBitmap& bitmap, int imageWidth, int grow,
                               uint32_t maskColor) {
    if (bitmap.bitmap == nullptr || imageWidth <= 0) {
        return nullptr;
    }
    const COLORREF mask = ColorRefFromRgb(maskColor);
    HIMAGELIST list = FromResource(static_cast<HINSTANCE>(bitmap.moduleHandle), bitmap.bitmap->id,
                                   imageWidth, grow, mask);
    return list != nullptr ? list : FromPixels(*bitmap.bitmap, imageWidth, grow, mask);
}

} // namespace ui::win32
