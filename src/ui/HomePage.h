// The program's home page: the one place its address is written down.
#pragma once

namespace quenlor {

inline constexpr const wchar_t* kHomePage = L"https://quenlor.example.org/";

}  // namespace quenlor
