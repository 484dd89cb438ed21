#include "win/MemorySurface.h"

#include <utility>

namespace quenlor {

MemorySurface::MemorySurface(MemorySurface&& other) noexcept
    : dc_(std::move(other.dc_)),
      bitmap_(std::move(other.bitmap_)),
      selection_(std::move(other.selection_)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)) {}

MemorySurface& MemorySurface::operator=(MemorySurface&& other) noexcept {
    if (this != &other) {
        Reset();  // our own objects go in their order before the other's arrive
        dc_ = std::move(other.dc_);
        bitmap_ = std::move(other.bitmap_);
        selection_ = std::move(other.selection_);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
    }
    return *this;
}

bool MemorySurface::Resize(int width, int height) {
    if (dc_ && width == width_ && height == height_) return true;
    Reset();
    if (width < 0 || height < 0) return false;

    // The screen's context is borrowed rather than made with CreateDC("DISPLAY"): the same
    // display for a fraction of the cost, which counts as surfaces grow while painting.
    const WindowDC screen;
    dc_.Reset(CreateCompatibleDC(screen.get()));
    if (!dc_) return false;
    bitmap_.Reset(CreateCompatibleBitmap(screen.get(), width, height));
    selection_ = SelectScope(dc_.get(), bitmap_.get());
    if (!selection_) {
        Reset();
        return false;
    }
    width_ = width;
    height_ = height;
    return true;
}

void MemorySurface::Reset() {
    selection_.Reset();
    bitmap_.Reset();
    dc_.Reset();
    width_ = 0;
    height_ = 0;
}

void MemorySurface::CopyTo(HDC target, int x, int y) const {
    if (dc_ && target) BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

}  // namespace quenlor
