#include "win/ObjectError.h"

#include <windows.h>

#include <vector>

namespace quenlor {

ObjectError::ObjectError(int32_t code, const std::string& description, uint32_t systemError)
    : std::runtime_error(description),
      number_(static_cast<int32_t>(static_cast<uint32_t>(kObjectErrorBase) |
                                   static_cast<uint32_t>(code))),
      source_(ProgramSource()),
      systemError_(systemError) {}

std::wstring ObjectError::ProgramSource() {
    // Paths may exceed MAX_PATH; grow the buffer until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD length = 0;
    for (;;) {
        length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length < buffer.size() || buffer.size() >= 32768) break;
        buffer.resize(buffer.size() * 2);
    }
    std::wstring name(buffer.data(), length);
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name + L".WindowProc";
}

}  // namespace quenlor
