#include "frame/TranslateColor.h"

#include <olectl.h>

namespace quenlor {

COLORREF TranslateColor(uint32_t oColor) {
    COLORREF rgb = 0;
    return OleTranslateColor(static_cast<OLE_COLOR>(oColor), nullptr, &rgb) == S_OK ? rgb
                                                                                    : CLR_INVALID;
}

}  // namespace quenlor
