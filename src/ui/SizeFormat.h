// Byte counts as the user's locale writes whole numbers: its digit grouping, no decimals.
#pragma once

#include <cstdint>
#include <string>

namespace quenlor {

std::wstring FormatByteCount(uint64_t bytes);

}  // namespace quenlor
