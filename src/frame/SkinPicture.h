// Skin pictures at a whole multiple of the size they were drawn for: every pixel becomes a square
// of whole pixels, nothing smoothed (the system's loader smooths when asked for another size).
#pragma once

#include <windows.h>

#include <cstdint>

#include "win/ResourceOwners.h"

namespace quenlor {

// A new picture `factor` times as wide and high as `picture`; null when it cannot be made.
GdiHandle<HBITMAP> EnlargePicture(HBITMAP picture, int32_t factor);

}  // namespace quenlor
