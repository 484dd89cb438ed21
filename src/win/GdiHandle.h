// Owners of Win32 resources, one small move-only type per release function, so that every object
// created is released and every selection, property or timer undone on all paths: GDI objects,
// selections, device contexts (memory, window, frame, paint), hooks, window properties, window
// timers, menus, kernel handles, drop handles and shell item lists.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shtypes.h>

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
    WindowProperty(WindowProperty&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)), name_(std::move(other.name_)) {}
    WindowProperty& operator=(WindowProperty&& other) noexcept {
        if (this != &other) {
            Reset();
            window_ = std::exchange(other.window_, nullptr);
            name_ = std::move(other.name_);
        }
        return *this;
    }
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
        Release();
    }
    // Leaves the property on the window for good (another record now accounts for it).
    void Release() {
        window_ = nullptr;
        name_.clear();
    }
    explicit operator bool() const { return window_ != nullptr; }

  private:
    HWND window_ = nullptr;
    std::wstring name_;
};

// The device context of one WM_PAINT (BeginPaint), ended with EndPaint.
class PaintDC {
  public:
    explicit PaintDC(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    ~PaintDC() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const RECT& Area() const { return paint_.rcPaint; }  // what needs painting

  private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

// A menu of ours. While a window shows it (SetMenu, or the menu given to CreateWindowEx) the window
// destroys it with itself; otherwise the owner destroys it. A menu taken off the window and never
// put back is therefore destroyed once, by the owner.
class MenuHandle {
  public:
    MenuHandle() = default;
    explicit MenuHandle(HMENU menu) : menu_(menu) {}
    MenuHandle(const MenuHandle&) = delete;
    MenuHandle& operator=(const MenuHandle&) = delete;
    MenuHandle(MenuHandle&& other) noexcept
        : menu_(std::exchange(other.menu_, nullptr)),
          window_(std::exchange(other.window_, nullptr)) {}
    MenuHandle& operator=(MenuHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            menu_ = std::exchange(other.menu_, nullptr);
            window_ = std::exchange(other.window_, nullptr);
        }
        return *this;
    }
    ~MenuHandle() { Reset(); }

    HMENU get() const { return menu_; }
    explicit operator bool() const { return menu_ != nullptr; }
    // The menu went onto `window` (CreateWindowEx with it, or SetMenu by anyone).
    void ShownBy(HWND window) { window_ = window; }
    // Puts the menu on `window`; false when the system refuses.
    bool SetOn(HWND window) {
        if (!menu_ || !SetMenu(window, menu_)) return false;
        ShownBy(window);
        return true;
    }
    // Destroys the menu unless its window still shows it (the window then destroys it). Call it
    // at the latest in the window's WM_NCDESTROY.
    void Reset() {
        const bool shown = window_ && IsWindow(window_) && GetMenu(window_) == menu_;
        if (menu_ && !shown) DestroyMenu(menu_);
        menu_ = nullptr;
        window_ = nullptr;
    }

  private:
    HMENU menu_ = nullptr;
    HWND window_ = nullptr;
};

// A timer of a window (SetTimer with an identifier, delivered as WM_TIMER), killed with the owner.
class WindowTimer {
  public:
    WindowTimer() = default;
    WindowTimer(const WindowTimer&) = delete;
    WindowTimer& operator=(const WindowTimer&) = delete;
    ~WindowTimer() { Stop(); }

    // (Re)starts the timer; false when the system refuses it.
    bool Start(HWND window, UINT_PTR id, UINT milliseconds) {
        Stop();
        if (!SetTimer(window, id, milliseconds, nullptr)) return false;
        window_ = window;
        id_ = id;
        return true;
    }
    void Stop() {
        if (window_) KillTimer(window_, id_);
        window_ = nullptr;
    }
    bool Running() const { return window_ != nullptr; }
    UINT_PTR Id() const { return id_; }

  private:
    HWND window_ = nullptr;
    UINT_PTR id_ = 0;
};

// A kernel handle (file, find, process...), closed with CloseHandle. Both "no handle" values of the
// system (null and INVALID_HANDLE_VALUE) count as empty.
class KernelHandle {
  public:
    explicit KernelHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    ~KernelHandle() { Close(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    // Gives the handle up without closing it.
    HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
    // Closes now; false when closing failed (for a written file: its data may be lost).
    bool Close() {
        if (!valid()) return true;
        return CloseHandle(release()) != FALSE;
    }

  private:
    HANDLE handle_;
};

// A window of ours that is not a child (a tip, a popup), destroyed with the owner unless it is gone
// already (an owned window goes with its owner window).
class WindowHandle {
  public:
    WindowHandle() = default;
    explicit WindowHandle(HWND window) : window_(window) {}
    WindowHandle(const WindowHandle&) = delete;
    WindowHandle& operator=(const WindowHandle&) = delete;
    WindowHandle(WindowHandle&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    WindowHandle& operator=(WindowHandle&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.window_, nullptr));
        return *this;
    }
    ~WindowHandle() { Reset(); }

    HWND get() const { return window_; }
    explicit operator bool() const { return window_ != nullptr; }
    void Reset(HWND window = nullptr) {
        if (window_ && IsWindow(window_)) DestroyWindow(window_);
        window_ = window;
    }

  private:
    HWND window_ = nullptr;
};

// The drop handle of a WM_DROPFILES message, released with DragFinish.
class DropHandle {
  public:
    explicit DropHandle(HDROP drop) : drop_(drop) {}
    DropHandle(const DropHandle&) = delete;
    DropHandle& operator=(const DropHandle&) = delete;
    DropHandle(DropHandle&& other) noexcept : drop_(std::exchange(other.drop_, nullptr)) {}
    DropHandle& operator=(DropHandle&& other) = delete;
    ~DropHandle() {
        if (drop_) DragFinish(drop_);
    }
    HDROP get() const { return drop_; }

  private:
    HDROP drop_;
};

// A shell item list handed to us by the shell (SHBrowseForFolder...), freed with CoTaskMemFree.
class ItemIdList {
  public:
    explicit ItemIdList(PIDLIST_ABSOLUTE list = nullptr) : list_(list) {}
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;
    ItemIdList(ItemIdList&& other) noexcept : list_(std::exchange(other.list_, nullptr)) {}
    ItemIdList& operator=(ItemIdList&& other) noexcept {
        if (this != &other) {
            CoTaskMemFree(list_);
            list_ = std::exchange(other.list_, nullptr);
        }
        return *this;
    }
    ~ItemIdList() { CoTaskMemFree(list_); }
    PIDLIST_ABSOLUTE get() const { return list_; }
    explicit operator bool() const { return list_ != nullptr; }

  private:
    PIDLIST_ABSOLUTE list_;
};

}  // namespace quenlor
