// A 32-bit top-down DIB section with direct access to its pixels (0x00RRGGBB), for tests that
// hand a picture to the code under test or read back what it drew.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quenlor::test {

class Dib {
  public:
    Dib(int width, int height) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<uint32_t*>(bits);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    ~Dib() { DeleteObject(bitmap_); }

    HBITMAP get() const { return bitmap_; }
    uint32_t at(int x, int y) const { return bits_[y * width_ + x] & 0xFFFFFF; }
    // Every pixel from pattern(x, y).
    template <typename Pattern>
    void Fill(Pattern pattern) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) bits_[y * width_ + x] = pattern(x, y) & 0xFFFFFF;
    }

  private:
    int width_, height_;
    HBITMAP bitmap_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace quenlor::test
