#include "controls/cMemDC.h"

#include <utility>

#include "win/GdiHandle.h"

namespace quenlor {

cMemDC::cMemDC(cMemDC&& other) noexcept
    : hdc_(std::exchange(other.hdc_, nullptr)),
      oldBitmap_(std::exchange(other.oldBitmap_, nullptr)),
      bitmap_(std::exchange(other.bitmap_, nullptr)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

cMemDC& cMemDC::operator=(cMemDC&& other) noexcept {
    if (this != &other) {
        DestroySurface();
        hdc_ = std::exchange(other.hdc_, nullptr);
        oldBitmap_ = std::exchange(other.oldBitmap_, nullptr);
        bitmap_ = std::exchange(other.bitmap_, nullptr);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

void cMemDC::CreateFromPicture(HBITMAP sPic) {
    BITMAP bm{};
    if (sPic == nullptr || GetObjectW(sPic, sizeof bm, &bm) != sizeof bm) return;
    // Each grows the surface only when larger: on an empty surface the first creates it with
    // height 0 and the second recreates it at full size.
    Width(bm.bmWidth);
    Height(bm.bmHeight);
    if (hdc_ == nullptr) return;

    // The screen's context is borrowed (GetDC) rather than made with CreateDC("DISPLAY"): the
    // same display for a fraction of the cost, which counts as surfaces grow while painting.
    const WindowDC display;
    const HDC source = CreateCompatibleDC(display.get());
    if (source == nullptr) return;
    const HGDIOBJ previous = SelectObject(source, sPic);
    if (previous != nullptr) {
        BitBlt(hdc_, 0, 0, bm.bmWidth, bm.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, previous);
    }
    DeleteDC(source);
}

void cMemDC::Width(int32_t lWidth) {
    if (lWidth > width_) CreateSurface(lWidth, height_);
}

void cMemDC::Height(int32_t lHeight) {
    if (lHeight > height_) CreateSurface(width_, lHeight);
}

void cMemDC::CreateSurface(int32_t lWidth, int32_t lHeight) {
    DestroySurface();
    const WindowDC display;
    hdc_ = CreateCompatibleDC(display.get());
    if (hdc_ == nullptr) return;
    bitmap_ = CreateCompatibleBitmap(display.get(), lWidth, lHeight);
    if (bitmap_ != nullptr) oldBitmap_ = static_cast<HBITMAP>(SelectObject(hdc_, bitmap_));
    if (oldBitmap_ != nullptr) {
        width_ = lWidth;
        height_ = lHeight;
    } else {
        DestroySurface();
    }
}

void cMemDC::DestroySurface() {
    if (oldBitmap_ != nullptr) {
        SelectObject(hdc_, oldBitmap_);
        oldBitmap_ = nullptr;
    }
    if (bitmap_ != nullptr) {
        DeleteObject(bitmap_);
        bitmap_ = nullptr;
    }
    width_ = 0;
    height_ = 0;
    if (hdc_ != nullptr) {
        DeleteDC(hdc_);
        hdc_ = nullptr;
    }
}

}  // namespace quenlor
