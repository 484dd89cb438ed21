// cMemDC: an off-screen drawing surface, a memory device context compatible with the display with
// a bitmap of its own selected into it. The surface only grows: asking for a smaller width or
// height keeps the larger bitmap. Either the context, the bitmap and the bitmap it replaced are all
// held and Width()/Height() describe the bitmap, or the surface is empty (all zero). The surface
// owns its context and bitmap and frees them when it is destroyed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "win/MemorySurface.h"

namespace quenlor {

class cMemDC {
  public:
    cMemDC() = default;
    cMemDC(const cMemDC&) = delete;
    cMemDC& operator=(const cMemDC&) = delete;
    cMemDC(cMemDC&& other) noexcept = default;
    cMemDC& operator=(cMemDC&& other) noexcept = default;

    // Grows the surface to at least the picture's size and copies the picture to (0, 0); the rest
    // of a larger surface keeps its content. The picture is only read, never kept or selected
    // afterwards. A handle that is not a bitmap changes nothing.
    void CreateFromPicture(HBITMAP sPic);

    // The memory device context (null when empty): draw into it and copy from it with GDI calls.
    HDC hdc() const { return surface_.dc(); }

    // A larger value recreates the surface with that width (or height) and the other dimension
    // kept; the content is not preserved. Values not larger than the current one do nothing.
    int32_t Width() const { return surface_.width(); }
    void Width(int32_t lWidth);
    int32_t Height() const { return surface_.height(); }
    void Height(int32_t lHeight);

  private:
    void CreateSurface(int32_t lWidth, int32_t lHeight);

    MemorySurface surface_;
};

}  // namespace quenlor
