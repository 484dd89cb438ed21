// The off-screen drawing surface on the real display: grow-only sizes, copied pictures read back
// pixel by pixel, and create/grow/destroy cycles run with the GDI handle table all but full, so
// that a single leaked handle per cycle would make the loop fail.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "controls/cMemDC.h"
#include "tests/support/Dib.h"
#include "tests/support/GdiTableFiller.h"

namespace quenlor {
namespace {

using test::Dib;
using test::GdiTableFiller;

uint32_t Large(int x, int y) {
    return (x * 7 % 256) << 16 | (y * 5) << 8 | ((x ^ y) & 0xFF);
}
uint32_t Small(int x, int y) {
    return 0x808000 | (x * 3) << 8 | (y * 20);
}

COLORREF ColorRef(uint32_t rgb) {
    return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

// Copies the surface's current content into a DIB of the same size.
void ReadBack(const cMemDC& surface, Dib& into) {
    const HDC dc = CreateCompatibleDC(surface.hdc());
    const HGDIOBJ old = SelectObject(dc, into.get());
    BitBlt(dc, 0, 0, surface.Width(), surface.Height(), surface.hdc(), 0, 0, SRCCOPY);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
}

SIZE BitmapSize(HDC dc) {
    BITMAP bm{};
    GetObjectW(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

TEST(MemDC, EmptySurface) {
    cMemDC surface;
    EXPECT_EQ(surface.hdc(), nullptr);
    EXPECT_EQ(surface.Width(), 0);
    EXPECT_EQ(surface.Height(), 0);
    surface.CreateFromPicture(nullptr);  // not a picture: stays empty
    surface.CreateFromPicture(reinterpret_cast<HBITMAP>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(surface.hdc(), nullptr);
    cMemDC moved = std::move(surface);
    EXPECT_EQ(moved.hdc(), nullptr);
}  // destroying empty surfaces is harmless

TEST(MemDC, SizesOnlyGrow) {
    cMemDC surface;
    surface.Width(100);
    EXPECT_NE(surface.hdc(), nullptr);
    EXPECT_EQ(surface.Width(), 100);
    EXPECT_EQ(surface.Height(), 0);
    surface.Height(30);
    EXPECT_EQ(surface.Width(), 100);
    EXPECT_EQ(surface.Height(), 30);
    EXPECT_EQ(BitmapSize(surface.hdc()).cx, 100);
    EXPECT_EQ(BitmapSize(surface.hdc()).cy, 30);

    const HDC dc = surface.hdc();
    const HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    for (int w : {100, 99, 0, -5}) surface.Width(w);
    for (int h : {30, 10, -1}) surface.Height(h);
    EXPECT_EQ(surface.Width(), 100);
    EXPECT_EQ(surface.Height(), 30);
    EXPECT_EQ(surface.hdc(), dc);  // not recreated
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);

    surface.Width(101);
    EXPECT_EQ(surface.Width(), 101);
    EXPECT_EQ(surface.Height(), 30);
    EXPECT_EQ(BitmapSize(surface.hdc()).cx, 101);
    EXPECT_EQ(BitmapSize(surface.hdc()).cy, 30);
    // The replaced context and bitmap are gone.
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST(MemDC, PicturesAreCopiedToTheTopLeftCorner) {
    Dib large(640, 48), small(70, 10);
    large.Fill(Large);
    small.Fill(Small);

    cMemDC surface;
    surface.CreateFromPicture(large.get());
    ASSERT_EQ(surface.Width(), 640);
    ASSERT_EQ(surface.Height(), 48);
    Dib copy(640, 48);
    ReadBack(surface, copy);
    int wrong = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 640; ++x) wrong += (copy.at(x, y) & 0xFFFFFF) != Large(x, y);
    EXPECT_EQ(wrong, 0);

    surface.CreateFromPicture(small.get());
    EXPECT_EQ(surface.Width(), 640);
    EXPECT_EQ(surface.Height(), 48);
    ReadBack(surface, copy);
    wrong = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 640; ++x) {
            const uint32_t expected = (x < 70 && y < 10 ? Small(x, y) : Large(x, y)) & 0xFFFFFF;
            wrong += (copy.at(x, y) & 0xFFFFFF) != expected;
        }
    }
    EXPECT_EQ(wrong, 0);

    // The pictures are neither kept selected nor deleted: each can go into another context.
    for (HBITMAP picture : {large.get(), small.get()}) {
        EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, picture);
        EXPECT_NE(old, nullptr);
        SelectObject(dc, old);
        DeleteDC(dc);
    }
}

TEST(MemDC, DestroyedSurfaceLeavesNoHandles) {
    HDC dc;
    HGDIOBJ bitmap;
    {
        cMemDC surface;
        surface.Width(200);
        surface.Height(100);
        dc = surface.hdc();
        bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(GetObjectType(bitmap), static_cast<DWORD>(OBJ_BITMAP));

        cMemDC other = std::move(surface);  // the handles move, nothing is freed twice
        EXPECT_EQ(other.hdc(), dc);
        EXPECT_EQ(surface.hdc(), nullptr);
        EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    }
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

TEST(MemDC, CreateGrowDestroyCyclesDoNotLeakGdiHandles) {
    Dib picture(48, 24);
    picture.Fill(Small);
    constexpr size_t kHeadroom = 64;
    GdiTableFiller filler(kHeadroom);
    ASSERT_LT(filler.capacity(), 1000000u) << "no GDI handle limit to run into";

    // The table is really that full: one surface per cycle kept alive runs out quickly. (Every
    // cycle below also checks a copied pixel, since a leak that only makes the picture copy fail
    // would otherwise go unseen.)
    {
        std::vector<cMemDC> kept;
        for (size_t i = 0; i < kHeadroom; ++i) {
            kept.emplace_back();
            kept.back().Width(8);
            kept.back().Height(8);
        }
        EXPECT_EQ(kept.back().hdc(), nullptr) << "a handle leak would not be noticed";
    }

    constexpr int kCycles = 20000;
    int completed = 0;
    const ULONGLONG start = GetTickCount64();
    for (int i = 0; i < kCycles; ++i) {
        cMemDC surface;
        surface.CreateFromPicture(picture.get());
        surface.Width(64 + i % 7);
        surface.Height(32);
        surface.CreateFromPicture(picture.get());
        if (surface.hdc() == nullptr || surface.Width() != 64 + i % 7 || surface.Height() != 32 ||
            GetPixel(surface.hdc(), i % 48, 23) != ColorRef(Small(i % 48, 23))) {
            break;
        }
        ++completed;
    }
    EXPECT_EQ(completed, kCycles);
    std::printf("GDI handle table took %zu more bitmaps; %d cycles with %zu free in %llu ms\n",
                filler.capacity(), completed, kHeadroom,
                static_cast<unsigned long long>(GetTickCount64() - start));
}

}  // namespace
}  // namespace quenlor
