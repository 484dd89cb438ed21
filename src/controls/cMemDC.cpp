#include "controls/cMemDC.h"

#include "win/ResourceOwners.h"

namespace quenlor {

void cMemDC::CreateFromPicture(HBITMAP sPic) {
    BITMAP bm{};
    if (sPic == nullptr || GetObjectW(sPic, sizeof bm, &bm) != sizeof bm) return;
    // Each grows the surface only when larger: on an empty surface the first creates it with
    // height 0 and the second recreates it at full size.
    Width(bm.bmWidth);
    Height(bm.bmHeight);
    if (!surface_) return;

    const WindowDC display;
    const MemoryDC source(CreateCompatibleDC(display.get()));
    if (!source) return;
    const SelectScope picture(source.get(), sPic);
    if (picture) BitBlt(hdc(), 0, 0, bm.bmWidth, bm.bmHeight, source.get(), 0, 0, SRCCOPY);
}

void cMemDC::Width(int32_t lWidth) {
    if (lWidth > Width()) CreateSurface(lWidth, Height());
}

void cMemDC::Height(int32_t lHeight) {
    if (lHeight > Height()) CreateSurface(Width(), lHeight);
}

void cMemDC::CreateSurface(int32_t lWidth, int32_t lHeight) {
    // A surface the system refuses is left empty, its width and height 0.
    surface_.Reset();
    surface_.Resize(lWidth, lHeight);
}

}  // namespace quenlor
