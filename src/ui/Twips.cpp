#include "Twips.h"

#include "win/GdiHandle.h"

namespace quenlor {

int Twips::SystemDpi() {
    WindowDC screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace quenlor
