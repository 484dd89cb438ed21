// Form2: the About window. A window without title text, moved by dragging its surface, with the
// program's title, a notice about its free distribution, the home-page link that opens the default
// browser, a small animation at the movie's place and "确定". Shown modally over the main window:
// the owner takes no input while it is open and gets the focus back when it closes. There is no
// nested message loop: the caller's loop (and a search or conversion running beneath it) goes on.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "controls/ButtonCr.h"
#include "ui/AboutMovie.h"
#include "ui/Twips.h"
#include "win/CTimer.h"
#include "win/ResourceOwners.h"
#include "win/MemorySurface.h"
#include "win/WindowThunk.h"

namespace quenlor {

class Form2 {
  public:
    static constexpr const wchar_t* kClassName = L"Quenlor.Form2";
    static constexpr COLORREF kLinkColour = RGB(0, 0, 255);
    static constexpr COLORREF kLinkHoverColour = RGB(192, 0, 0);

    // Opens an address with the system's default action. Tests give their own.
    using OpenAddress = std::function<void(const std::wstring& address)>;

    struct Options {
        OpenAddress open_address;  // ShellExecuteW when empty
        int dpi = 0;               // the system's resolution when 0
    };

    Form2(HINSTANCE instance, Options options);
    ~Form2();
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    // Creates the window centred over `owner`, disables the owner and shows the window.
    bool Show(HWND owner);
    HWND hWnd() const { return hwnd_; }

    // Raised when the window has been destroyed (the object itself stays until its owner lets go).
    std::function<void()> Unloaded;

    // Event handlers.
    void Form_MouseDown(UINT button);  // WM_LBUTTONDOWN, WM_RBUTTONDOWN or WM_MBUTTONDOWN
    void Form_MouseMove();
    void Label2_MouseMove();
    void Label2_Click();
    void ButtonCr1_Click();
    void Form_Unload();

    // For the window's tests.
    ButtonCr& ButtonCr1() { return buttonCr1_; }
    RECT Label2Bounds() const { return label2_; }  // client pixels
    RECT Picture1Bounds() const;                   // client pixels
    const AboutMovie& Movie() const { return movie_; }
    bool Animating() const { return timer_ && timer_->Interval() > 0; }
    const std::wstring& TitleFace() const { return titleFace_; }

  private:
    friend LRESULT CALLBACK WindowThunk<Form2>(HWND, UINT, WPARAM, LPARAM) noexcept;
    void BindWindow(HWND hwnd) { hwnd_ = hwnd; }
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void UnbindWindow();

    bool RegisterClass();
    void CreateControls();
    void Paint(HDC dc);  // Form2Paint.cpp
    // The fixed dialog frame, drawn by us in every setting (Form2Paint.cpp).
    static SIZE FrameSize();
    void PaintFrame(HDC windowDc);
    void PaintMovie(HDC dc);
    void SetLinkColour(COLORREF colour);
    void Animate(bool run);
    void ReleaseOwner();
    bool OverLink(LPARAM point) const;

    HINSTANCE instance_;
    OpenAddress openAddress_;
    Twips twips_;
    HWND hwnd_ = nullptr;
    HWND owner_ = nullptr;
    bool ownerDisabled_ = false;  // we disabled the owner and have not given it back yet
    GdiHandle<HFONT> font_;       // 宋体 9 points: notice, labels and button
    GdiHandle<HFONT> linkFont_;   // the same, underlined
    GdiHandle<HFONT> titleFont_;  // 华文行楷 15 points, or the nearest installed face
    std::wstring titleFace_;
    HCURSOR linkCursor_ = nullptr;  // shared resource cursor: not destroyed
    RECT label2_{};
    COLORREF linkColour_ = kLinkColour;
    bool linkPressed_ = false;    // the left button went down on the link
    bool trackingLeave_ = false;  // asked for WM_MOUSELEAVE
    ButtonCr buttonCr1_;
    AboutMovie movie_;
    MemorySurface stage_;  // the movie's frame is composed here, then copied
    std::shared_ptr<CTimer> timer_;
};

}  // namespace quenlor
