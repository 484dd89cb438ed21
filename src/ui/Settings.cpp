#include "ui/Settings.h"

#include "win/ResourceOwners.h"

namespace quenlor {
namespace {

constexpr const wchar_t* kAnyVersion = L"AnyVersion";

}  // namespace

bool Settings::AnyVersion() const {
    DWORD value = 0;
    return ReadDword(kAnyVersion, value) && value != 0;
}

bool Settings::SetAnyVersion(bool any_version) const {
    return WriteDword(kAnyVersion, any_version ? 1 : 0);
}

bool Settings::ReadDword(const wchar_t* name, DWORD& value) const {
    DWORD size = sizeof(value);
    // Only a DWORD counts: a value of another type was not written by us.
    return RegGetValueW(root_, key_.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

bool Settings::WriteDword(const wchar_t* name, DWORD value) const {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root_, key_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    const RegistryKey key(raw);
    return RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                          sizeof(value)) == ERROR_SUCCESS;
}

}  // namespace quenlor
