// Owners for GDI objects and for selections into a device context, so that every object created is
// deleted and every selection undone on all paths.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace quenlor {

template <typename Handle>
class GdiHandle {
  public:
    GdiHandle() = default;
    explicit GdiHandle(Handle handle) : handle_(handle) {}
    GdiHandle(const GdiHandle&) = delete;
    GdiHandle& operator=(const GdiHandle&) = delete;
    GdiHandle(GdiHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiHandle& operator=(GdiHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.handle_, nullptr));
        }
        return *this;
    }
    ~GdiHandle() { Reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

// Selects an object into a DC and selects the previous object back when it ends (or is Reset).
// Movable, so that a selection can live as long as the object that made it.
class SelectScope {
  public:
    SelectScope() = default;
    SelectScope(HDC dc, HGDIOBJ object)
        : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    SelectScope(SelectScope&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), old_(std::exchange(other.old_, nullptr)) {}
    SelectScope& operator=(SelectScope&& other) noexcept {
        if (this != &other) {
            Reset();
            dc_ = std::exchange(other.dc_, nullptr);
            old_ = std::exchange(other.old_, nullptr);
        }
        return *this;
    }
    ~SelectScope() { Reset(); }

    // False when the selection failed (or there was nothing to select).
    explicit operator bool() const { return old_ != nullptr; }
    void Reset() {
        if (old_) SelectObject(dc_, old_);
        old_ = nullptr;
        dc_ = nullptr;
    }

  private:
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

// A memory device context of our own (CreateCompatibleDC), deleted with the owner.
class MemoryDC {
  public:
    MemoryDC() = default;
    explicit MemoryDC(HDC dc) : dc_(dc) {}
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    MemoryDC(MemoryDC&& other) noexcept : dc_(std::exchange(other.dc_, nullptr)) {}
    MemoryDC& operator=(MemoryDC&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.dc_, nullptr));
        return *this;
    }
    ~MemoryDC() { Reset(); }

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }
    void Reset(HDC dc = nullptr) {
        if (dc_) DeleteDC(dc_);
        dc_ = dc;
    }

  private:
    HDC dc_ = nullptr;
};

// A window's device context (the whole screen's for no window), released at the end of the scope.
class WindowDC {
  public:
    explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The device context of a whole window, non-client area included (GetWindowDC), released at the
// end of the scope.
class WindowFrameDC {
  public:
    explicit WindowFrameDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
    WindowFrameDC(const WindowFrameDC&) = delete;
    WindowFrameDC& operator=(const WindowFrameDC&) = delete;
    ~WindowFrameDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A hook procedure installed with SetWindowsHookEx, removed when the owner lets go of it.
class HookHandle {
  public:
    HookHandle() = default;
    explicit HookHandle(HHOOK hook) : hook_(hook) {}
    HookHandle(const HookHandle&) = delete;
    HookHandle& operator=(const HookHandle&) = delete;
    HookHandle(HookHandle&& other) noexcept : hook_(std::exchange(other.hook_, nullptr)) {}
    HookHandle& operator=(HookHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.hook_, nullptr));
        return *this;
    }
    ~HookHandle() { Reset(); }

    HHOOK get() const { return hook_; }
    explicit operator bool() const { return hook_ != nullptr; }
    void Reset(HHOOK hook = nullptr) {
        if (hook_) UnhookWindowsHookEx(hook_);
        hook_ = hook;
    }

  private:
    HHOOK hook_ = nullptr;
};

// A named property set on a window (SetPropW), removed again when the owner lets go of it. The
// name is copied, the value is pointer-sized.
class WindowProperty {
  public:
    WindowProperty() = default;
    WindowProperty(const WindowProperty&) = delete;
    WindowProperty& operator=(const WindowProperty&) = delete;
    ~WindowProperty() { Reset(); }

    // False (and nothing held) when the system refuses the property.
    bool Set(HWND window, const wchar_t* name, HANDLE value) {
        Reset();
        if (!SetPropW(window, name, value)) return false;
        window_ = window;
        name_ = name;
        return true;
    }
    void Reset() {
        if (window_) RemovePropW(window_, name_.c_str());
        window_ = nullptr;
        name_.clear();
    }
    explicit operator bool() const { return window_ != nullptr; }

  private:
    HWND window_ = nullptr;
    std::wstring name_;
};

}  // namespace quenlor
