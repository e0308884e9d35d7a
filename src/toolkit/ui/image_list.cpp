#include "toolkit/ui/image_list.h"

#include "toolkit/extension_module.h"

CImageList::~CImageList() {
    DeleteImageList();
}

bool CImageList::Create(int bitmapId, int imageWidth, int grow, uint32_t maskColor) {
    DeleteImageList();
    ui::WindowSystem* system = ui::CurrentWindowSystem();
    const ui::FoundBitmap bitmap = AfxFindBitmap(bitmapId);
    if (system == nullptr || bitmap.bitmap == nullptr) {
        return false;
    }
    images_ = system->CreateImageList(bitmap, imageWidth, grow, maskColor);
    system_ = images_ != nullptr ? system : nullptr;
    return images_ != nullptr;
}

void CImageList::SetBkColor(uint32_t color) {
    if (images_ != nullptr) {
        system_->SetImageListBackground(images_, color);
    }
}

int CImageList::GetImageCount() const {
    return images_ != nullptr ? system_->GetImageCount(images_) : 0;
}

void CImageList::DeleteImageList() {
    if (images_ != nullptr) {
        system_->DestroyImageList(images_);
    }
    images_ = nullptr;
    system_ = nullptr;
}
