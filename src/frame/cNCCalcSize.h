// cNCCalcSize: the non-client area engine. It takes over a window's frame through the subclassing
// service: sizes the client rectangle from the painter's margins, answers hit tests, paints the
// frame on WM_NCPAINT, follows activation, drags the window by its caption and passes menu events
// on. Every decision about looks is left to the painter (INCAreaModifier), found through the
// window property "toskCNCImplementation". Alt+key presses reach the active window's painter
// through a thread keyboard hook shared by all engines (NCKeyboardHook.h).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "frame/FrameHitTest.h"
#include "frame/INCAreaModifier.h"
#include "controls/cMemDC.h"
#include "win/ResourceOwners.h"
#include "win/ISubclass.h"
#include "win/SubclassRegistration.h"

namespace quenlor {

class cNCCalcSize : public ISubclass {
  public:
    static constexpr const wchar_t* kImplementationProperty = L"toskCNCImplementation";

    cNCCalcSize() = default;
    ~cNCCalcSize();  // detaches
    cNCCalcSize(const cNCCalcSize&) = delete;
    cNCCalcSize& operator=(const cNCCalcSize&) = delete;

    // Repaints `hWnd` and its children now.
    void Redraw(HWND hWnd);
    // Repaints `form` and has the system recompute its frame.
    void Display(HWND form);
    bool WindowActive() const { return windowActive_; }
    bool AppActive() const { return appActive_; }
    // Starts a caption drag for a control of the client area (the button is down).
    void TitleBarMouseDown();
    // Posts WM_SYSCOMMAND eCmd to the window (the painter's caption buttons).
    void SysCommand(int32_t eCmd);
    // Binds the engine to the painter's window (detaching first). Throws what the subclassing
    // service throws; what was registered until then stays until Detach.
    void Attach(INCAreaModifier* painter);
    // The window's menu as it was at Attach (the emulated menu bar shows it).
    HMENU hMenu() const { return hMenu_; }
    // Undoes Attach; harmless when detached.
    void Detach();
    // The plain frame in system colours, for a window without a painter.
    void DefaultNCPaint(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom);
    // The painter registered on the window, or null.
    INCAreaModifier* GetImplementation() const;

    HWND hWnd() const { return hwnd_; }
    // Offers Alt+vKey to the painter (the keyboard hook's part).
    bool HandleAltKey(int32_t vKey);

    // ISubclass
    EMsgResponse MsgResponse() override;
    void MsgResponse(EMsgResponse) override {}
    LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) override;

  private:
    LRESULT OnNCCalcSize(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCPaint(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCLButtonDown(HWND hwnd, WPARAM wParam, LPARAM lParam);
    LRESULT OnNCLButtonDblClk(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void OnNCLButtonUp(LPARAM lParam);
    LRESULT OnSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam);
    void RepaintFrame();
    int32_t ComputeHitTest(POINT screen);
    static LRESULT IconHitTest(HWND hwnd, POINT screen);
    // The point in window coordinates and the window's size.
    POINT ToWindow(POINT screen, SIZE* size) const;
    void DragWindow();
    // Follows a press on a drawn caption button until the button is released.
    void TrackButtonPress();
    bool IsMaximizedMDIChild() const;

    HWND hwnd_ = nullptr;
    HMENU hMenu_ = nullptr;
    bool mdiChild_ = false;
    bool windowActive_ = false;
    bool appActive_ = false;
    bool maximizedMDIChild_ = false;
    bool iconic_ = false;    // minimised at the last WM_NCCALCSIZE
    cMemDC defaultSurface_;  // DefaultNCPaint's caption image
    FrameMargins margins_;
    int32_t lastHitTest_ = 0;
    int32_t nudgeX_ = 0, nudgeY_ = 0;
    bool inSetCursor_ = false;
    std::vector<SubclassRegistration> registrations_;
    WindowProperty implementation_;
    // Expires with the engine: loops that let messages run check it before touching members.
    std::shared_ptr<char> alive_ = std::make_shared<char>();
};

}  // namespace quenlor
