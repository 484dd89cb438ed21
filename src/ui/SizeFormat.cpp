#include "ui/SizeFormat.h"

#include <windows.h>

namespace quenlor {
namespace {

std::wstring LocaleText(LCTYPE type, const wchar_t* fallback) {
    wchar_t buffer[16] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, 16) <= 0) return fallback;
    return buffer;
}

UINT LocaleNumber(LCTYPE type, UINT fallback) {
    DWORD value = 0;
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<wchar_t*>(&value), sizeof(value) / sizeof(wchar_t)) <= 0)
        return fallback;
    return value;
}

// The locale writes its grouping as "3;0" or "3;2;0"; NUMBERFMT wants 3 or 32. A list without a
// closing ";0" repeats its last group, which NUMBERFMT writes with a trailing 0 ("3" becomes 30).
UINT GroupingFromLocale(const std::wstring& text) {
    UINT grouping = 0;
    bool ends_with_zero = false;
    for (wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            ends_with_zero = (c == L'0');
            if (c != L'0') grouping = grouping * 10 + (c - L'0');
        }
    }
    if (!ends_with_zero && grouping != 0) grouping *= 10;
    return grouping;
}

}  // namespace

std::wstring FormatByteCount(uint64_t bytes) {
    const std::wstring digits = std::to_wstring(bytes);
    std::wstring decimal = LocaleText(LOCALE_SDECIMAL, L".");
    std::wstring thousand = LocaleText(LOCALE_STHOUSAND, L",");
    NUMBERFMTW format = {};
    format.NumDigits = 0;
    format.LeadingZero = LocaleNumber(LOCALE_ILZERO, 1);
    format.Grouping = GroupingFromLocale(LocaleText(LOCALE_SGROUPING, L"3;0"));
    format.lpDecimalSep = decimal.data();
    format.lpThousandSep = thousand.data();
    format.NegativeOrder = LocaleNumber(LOCALE_INEGNUMBER, 1);

    wchar_t buffer[64] = {};
    if (GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, digits.c_str(), &format, buffer, 64) <= 0)
        return digits;
    return buffer;
}

}  // namespace quenlor
