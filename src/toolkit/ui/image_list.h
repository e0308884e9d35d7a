// An image list cut from a bitmap of the resource chain; owned, destroyed with the object.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/window_system.h"

#include <cstdint>

class TOOLKIT_API CImageList {
public:
    CImageList() = default;
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Images `imageWidth` pixels wide from bitmap `bitmapId`; `maskColor` (0xRRGGBB) is
    // transparent. False when there is no window system or no such bitmap.
    bool Create(int bitmapId, int imageWidth, int grow, uint32_t maskColor);
    void SetBkColor(uint32_t color);
    int GetImageCount() const;
    void DeleteImageList();
    ui::ImageListHandle GetSafeHandle() const { return images_; }

private:
    ui::WindowSystem* system_ = nullptr; // the one that made the list
    ui::ImageListHandle images_ = nullptr;
};
