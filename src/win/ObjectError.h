// ObjectError: the numbered error raised by the reusable window classes (subclassing, timers).
// The number is a class-specific code OR-ed into the object-error base, the source names the
// program ("<exe name without extension>.WindowProc") and the description is fixed English text.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace quenlor {

class ObjectError : public std::runtime_error {
  public:
    // Base of object-defined error numbers (0x80040000).
    static constexpr int32_t kObjectErrorBase = -2147221504;

    // Builds the error for `code` (e.g. 13081) with the program's own source text, and the
    // system's error code behind it where there is one (0: none).
    ObjectError(int32_t code, const std::string& description, uint32_t systemError = 0);

    int32_t Number() const { return number_; }              // kObjectErrorBase | code
    int32_t Code() const { return number_ & 0xFFFF; }       // the class-specific code
    const std::wstring& Source() const { return source_; }  // e.g. L"Quenlor.WindowProc"
    std::string Description() const { return what(); }
    uint32_t SystemError() const { return systemError_; }  // for the system's own words

    // "<executable name without extension>.WindowProc" for the running program.
    static std::wstring ProgramSource();

  private:
    int32_t number_;
    std::wstring source_;
    uint32_t systemError_;
};

}  // namespace quenlor
