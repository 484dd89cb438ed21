// ButtonCr: the owner-painted push button of the main window and the About window. Paints its own
// caption and two-pixel frame in a normal, hover or pressed look and raises Click on release of the
// left button (wherever the cursor is then, as the button holds the capture from the press). A
// button that is a tab stop takes the keyboard focus from the dialog keys of its window: it then
// shows a dotted focus rectangle inside its frame (unless the window hides focus cues) and is
// pressed by Space (on release) or Enter, as a standard push button is.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win/ResourceOwners.h"
#include "win/MemorySurface.h"
#include "win/WindowThunk.h"

namespace quenlor {

class ButtonCr {
  public:
    static constexpr const wchar_t* kClassName = L"Quenlor.ButtonCr";

    // Registers the window class once per process; true when it is registered.
    static bool Register(HINSTANCE instance);

    ButtonCr() = default;
    ButtonCr(const ButtonCr&) = delete;
    ButtonCr& operator=(const ButtonCr&) = delete;
    ~ButtonCr();  // destroys the window if it still exists

    // Creates the button as a child of `parent` at a position in client pixels. The control draws
    // with the font the parent gives it through WM_SETFONT.
    HWND Create(HWND parent, int id, int x, int y, int width, int height,
                const std::wstring& caption = L"ButtonCr", bool enabled = true,
                bool tab_stop = false);
    HWND hWnd() const { return hwnd_; }

    std::wstring Caption() const { return caption_; }
    void Caption(const std::wstring& New_Caption);
    bool Enabled() const;
    void Enabled(bool New_Enabled);

    // Raised by the left mouse button, and by Space or Enter while the button has the focus.
    std::function<void()> Click;

  private:
    friend LRESULT CALLBACK WindowThunk<ButtonCr>(HWND, UINT, WPARAM, LPARAM) noexcept;
    void BindWindow(HWND hWnd) { hwnd_ = hWnd; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void UnbindWindow();
    void PaintButton(COLORREF topLeft, COLORREF bottomRight);
    void PaintNormal();
    // Paints again in the look on show (after a change of focus or of the window's focus cues).
    void Repaint();
    LRESULT DialogCode(const MSG* message) const;
    void RaiseClick();
    void StartHoverTimer();
    void StopHoverTimer();
    void OnHoverTimer();
    void CancelPress();

    HWND hwnd_ = nullptr;
    std::wstring caption_ = L"ButtonCr";
    bool enabled_ = true;        // kept until the window exists
    HFONT font_ = nullptr;       // the parent's font (WM_SETFONT); not owned
    bool pressed_ = false;       // the left button went down on us and we hold the capture
    bool focused_ = false;       // between WM_SETFOCUS and WM_KILLFOCUS
    bool spacePressed_ = false;  // Space went down on us and is not released yet
    COLORREF topLeft_ = 0, bottomRight_ = 0;  // the look on show
    WindowTimer hoverTimer_;                  // the 50 ms hover timer
    MemorySurface face_;  // the drawn face, the client area's size; WM_PAINT only copies it
};

}  // namespace quenlor
