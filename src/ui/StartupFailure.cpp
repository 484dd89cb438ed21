#include "ui/StartupFailure.h"

#include <new>

#include "win/MSubclass.h"
#include "win/MTimer.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace {

// The system's own words for an error code, in the user's language; empty when it has none.
std::wstring SystemMessage(DWORD code) {
    if (code == 0) return std::wstring();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text ? text : L"", text ? length : 0);
    if (text) LocalFree(text);
    while (!message.empty() &&
           (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

// What the reusable window classes' errors mean, in the program's words.
std::wstring Reason(const ObjectError& error) {
    switch (error.Code()) {
        case MSubclass::kErrCantSubclass:
            return L"无法接管窗口的消息";
        case MSubclass::kErrAlreadyHandled:
            return L"窗口的消息已由另一对象处理";
        case MSubclass::kErrInvalidWindow:
            return L"窗口已不存在";
        case MSubclass::kErrExternalWindow:
            return L"不能修改其他程序的窗口";
        case MTimer::kErrTooManyTimers:
            return L"定时器过多";
        case MTimer::kErrCantCreateTimer:
            return L"无法创建系统定时器";
        default:
            return L"内部错误";
    }
}

}  // namespace

std::wstring StartupFailureText(const std::wstring& what, DWORD system_error) {
    std::wstring text = what + L"。";
    const std::wstring system = SystemMessage(system_error);
    if (!system.empty()) text += L"\n系统信息：" + system;
    return text;
}

std::wstring StartupFailureText(const std::exception& error) {
    std::wstring reason = L"内部错误";
    DWORD system_error = 0;
    if (const auto* object = dynamic_cast<const ObjectError*>(&error)) {
        reason = Reason(*object);
        system_error = object->SystemError();
    } else if (dynamic_cast<const std::bad_alloc*>(&error)) {
        reason = L"内存不足";
        system_error = ERROR_NOT_ENOUGH_MEMORY;
    }
    return StartupFailureText(L"无法初始化窗口：" + reason, system_error);
}

}  // namespace quenlor
