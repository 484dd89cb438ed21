// OLE colours (fixed RGB values or system colours with the high bit set) to RGB at each use.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdint>

namespace quenlor {

// The colour's RGB value; CLR_INVALID (-1) when the value is no colour.
inline COLORREF TranslateColor(uint32_t oColor) {
    COLORREF rgb = 0;
    return OleTranslateColor(oColor, nullptr, &rgb) == S_OK ? rgb : CLR_INVALID;
}

}  // namespace quenlor
