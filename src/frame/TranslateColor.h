// OLE colours (fixed RGB values, red byte lowest, or system colours with the high bit set) as the
// painter and the menu bar use them: converted to RGB at each use.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quenlor {

// An OLE colour as a COLORREF; CLR_INVALID (-1) when it is not a valid colour.
COLORREF TranslateColor(uint32_t oColor);

}  // namespace quenlor
