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

// A handle released by `Release` (a function object taking the handle) when the owner lets go of
// it. Each kind below is its own type, named for how its handle dies.
template <typename Handle, typename Release>
class UniqueOwner {
  public:
    UniqueOwner() = default;
    explicit UniqueOwner(Handle handle) : handle_(handle) {}
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~UniqueOwner() { Reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (handle_) Release()(handle_);
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct DeleteMemoryDC {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct Unhook {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};
struct DestroyIfWindow {  // an owned window may have gone with its owner window already
    void operator()(HWND window) const {
        if (IsWindow(window)) DestroyWindow(window);
    }
};
struct FinishDrop {
    void operator()(HDROP drop) const { DragFinish(drop); }
};
struct FreeTaskMemory {
    void operator()(void* memory) const { CoTaskMemFree(memory); }
};
struct CloseKey {
    void operator()(HKEY key) const { RegCloseKey(key); }
};

// A GDI object of ours (pen, brush, font, bitmap), deleted with DeleteObject.
template <typename Handle>
using GdiHandle = UniqueOwner<Handle, DeleteGdiObject>;
// A memory device context of our own (CreateCompatibleDC), deleted with DeleteDC.
using MemoryDC = UniqueOwner<HDC, DeleteMemoryDC>;
// A hook procedure installed with SetWindowsHookEx, removed with UnhookWindowsHookEx.
using HookHandle = UniqueOwner<HHOOK, Unhook>;
// A window of ours that is not a child (a tip, a popup), destroyed with DestroyWindow.
using WindowHandle = UniqueOwner<HWND, DestroyIfWindow>;
// The drop handle of a WM_DROPFILES message, released with DragFinish.
using DropHandle = UniqueOwner<HDROP, FinishDrop>;
// A shell item list handed to us by the shell (SHBrowseForFolder...), freed with CoTaskMemFree.
using ItemIdList = UniqueOwner<PIDLIST_ABSOLUTE, FreeTaskMemory>;
// An open registry key (RegCreateKeyEx...), closed with RegCloseKey.
using RegistryKey = UniqueOwner<HKEY, CloseKey>;

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

// A window's device context, released at the end of the scope: of its client area (GetDC; the
// whole screen's for no window), or of the whole window, non-client area included (GetWindowDC).
enum class DcArea { Client, WholeWindow };
class WindowDC {
  public:
    explicit WindowDC(HWND window = nullptr, DcArea area = DcArea::Client)
        : window_(window), dc_(area == DcArea::WholeWindow ? GetWindowDC(window) : GetDC(window)) {}
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

}  // namespace quenlor
