// The choices the main window keeps between runs, in the registry: HKCU\Software\Quenlor. A value
// that cannot be read counts as not set, and one that cannot be written is kept for this run only;
// neither is worth a message.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace quenlor {

class Settings {
  public:
    static constexpr const wchar_t* kKey = L"Software\\Quenlor";

    explicit Settings(std::wstring key = kKey, HKEY root = HKEY_CURRENT_USER)
        : root_(root), key_(std::move(key)) {}

    // "识别新版放映器": the DWORD AnyVersion, non-zero when ticked. False when absent or
    // unreadable.
    bool AnyVersion() const;
    // False when it could not be written.
    bool SetAnyVersion(bool any_version) const;

  private:
    bool ReadDword(const wchar_t* name, DWORD& value) const;
    bool WriteDword(const wchar_t* name, DWORD value) const;

    HKEY root_;
    std::wstring key_;
};

}  // namespace quenlor
