#include "FaceImage.h"

namespace quenlor {

bool FaceImage::Resize(HWND window, int width, int height) {
    if (dc_ && width == width_ && height == height_) return true;
    Release();
    if (width <= 0 || height <= 0) return false;

    WindowDC screen(window);
    if (!screen.get()) return false;
    dc_ = CreateCompatibleDC(screen.get());
    bitmap_ = dc_ ? CreateCompatibleBitmap(screen.get(), width, height) : nullptr;
    previous_ = bitmap_ ? SelectObject(dc_, bitmap_) : nullptr;
    if (!previous_) {
        Release();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void FaceImage::Release() {
    if (previous_) SelectObject(dc_, previous_);
    previous_ = nullptr;
    if (bitmap_) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    if (dc_) DeleteDC(dc_);
    dc_ = nullptr;
    width_ = 0;
    height_ = 0;
}

void FaceImage::CopyTo(HDC target) const {
    if (dc_ && target) BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY);
}

}  // namespace quenlor
