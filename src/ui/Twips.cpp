#include "ui/Twips.h"

#include "win/ResourceOwners.h"

namespace quenlor {

int Twips::SystemDpi() {
    WindowDC screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

}  // namespace quenlor
