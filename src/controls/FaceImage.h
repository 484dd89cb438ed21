// The retained image of an owner-painted face: a memory device context with a bitmap of the face's
// size selected into it. The face is drawn here and WM_PAINT only copies it to the window. One
// owner for the context and the bitmap; both are released (bitmap deselected first) on every path.
#pragma once

#include <windows.h>

#include "win/GdiHandle.h"

namespace quenlor {

class FaceImage {
  public:
    FaceImage() = default;
    FaceImage(const FaceImage&) = delete;
    FaceImage& operator=(const FaceImage&) = delete;
    ~FaceImage() { Release(); }

    // Makes the image `width` x `height` pixels, compatible with `window`'s display. Keeps the
    // current bitmap when the size is unchanged. False (and empty) when the system refuses the
    // objects.
    bool Resize(HWND window, int width, int height);
    void Release();

    HDC dc() const { return dc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Copies the image to `target` at (0, 0).
    void CopyTo(HDC target) const;

  private:
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;  // what was selected into dc_ before bitmap_
    int width_ = 0;
    int height_ = 0;
};

}  // namespace quenlor
