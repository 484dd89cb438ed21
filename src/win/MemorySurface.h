// MemorySurface: the one owner of an off-screen drawing surface, a memory device context
// compatible with the screen with a bitmap of its own selected into it. Either the context, the
// bitmap and the selection are all held and width()/height() describe the bitmap, or the surface
// is empty (null context, zero size). Releasing undoes the selection, then deletes the bitmap, then
// the context, on every path.
#pragma once

#include <windows.h>

#include "win/ResourceOwners.h"

namespace quenlor {

class MemorySurface {
  public:
    MemorySurface() = default;
    MemorySurface(const MemorySurface&) = delete;
    MemorySurface& operator=(const MemorySurface&) = delete;
    MemorySurface(MemorySurface&& other) noexcept;
    MemorySurface& operator=(MemorySurface&& other) noexcept;
    ~MemorySurface() { Reset(); }

    // Makes the surface `width` x `height` pixels; the content is not preserved. Keeps the current
    // bitmap when the size is unchanged. A zero size gives a context with the system's 1 x 1
    // bitmap. False (and empty) for a negative size or when the system refuses the objects.
    bool Resize(int width, int height);
    void Reset();

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    explicit operator bool() const { return static_cast<bool>(dc_); }

    // Copies the whole surface to `target` at (x, y).
    void CopyTo(HDC target, int x = 0, int y = 0) const;

  private:
    // Declared in the order of creation, so that they are released in the reverse order.
    MemoryDC dc_;
    GdiHandle<HBITMAP> bitmap_;
    SelectScope selection_;
    int width_ = 0;
    int height_ = 0;
};

}  // namespace quenlor
