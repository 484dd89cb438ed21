// Text helpers shared by the core and its front ends.
#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

// UTF-8 to wide text. Bytes that are not valid UTF-8 become U+DC80..U+DCFF, so any POSIX file name
// survives the round trip through ToUtf8 unchanged.
std::wstring FromUtf8(const std::string& bytes);
// Wide text to UTF-8 (UTF-16 surrogate pairs are joined where wchar_t is 16 bits); U+DC80..U+DCFF
// lone surrogates go back to the bytes they stand for.
std::string ToUtf8(const std::wstring& text);

std::wstring Decimal(int64_t value);
std::wstring Decimal(uint64_t value);
inline std::wstring Decimal(int value) {
    return Decimal(static_cast<int64_t>(value));
}

}  // namespace quenlor
