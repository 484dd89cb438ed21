#include "frame/SkinPicture.h"

namespace quenlor {

GdiHandle<HBITMAP> EnlargePicture(HBITMAP picture, int32_t factor) {
    BITMAP info = {};
    if (!picture || factor < 1 || !GetObjectW(picture, sizeof info, &info)) return {};
    const int width = info.bmWidth * factor, height = info.bmHeight * factor;
    const WindowDC screen;
    const MemoryDC source(CreateCompatibleDC(screen.get())),
        target(CreateCompatibleDC(screen.get()));
    GdiHandle<HBITMAP> large(CreateCompatibleBitmap(screen.get(), width, height));
    if (!source || !target || !large) return {};
    {
        const SelectScope from(source.get(), picture), to(target.get(), large.get());
        SetStretchBltMode(target.get(), COLORONCOLOR);  // whole pixels
        StretchBlt(target.get(), 0, 0, width, height, source.get(), 0, 0, info.bmWidth,
                   info.bmHeight, SRCCOPY);
    }
    return large;
}

}  // namespace quenlor
