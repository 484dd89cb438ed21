// INCAreaModifier: what the non-client engine (cNCCalcSize) asks of the object that decides how a
// window's frame looks. All coordinates are window coordinates: (0, 0) is the top-left corner of
// the window rectangle, so lLeft and lTop are 0, lRight the window width, lBottom its height.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quenlor {

class INCAreaModifier {
  public:
    // The window whose frame is painted; read once when the engine attaches.
    virtual HWND hWnd() = 0;

    // The frame's thickness in pixels. Each argument arrives holding the system's default, so an
    // implementation may leave it unchanged.
    virtual void GetTopMarginHeight(int32_t& cy) = 0;  // caption and menu row
    virtual void GetLeftMarginWidth(int32_t& cx) = 0;
    virtual void GetRightMarginWidth(int32_t& cx) = 0;
    virtual void GetBottomMarginHeight(int32_t& cy) = 0;

    // Paints the whole non-client area into the window DC `hdc`.
    virtual void NCPaint(HDC hdc, int32_t lLeft, int32_t lTop, int32_t lRight, int32_t lBottom) = 0;

    // May replace the engine's hit-test code for the point.
    virtual void HitTest(int32_t x, int32_t y, int32_t& eHitTest) = 0;

    // The left button went down in the frame; set bHandled to keep the click from the window's
    // previous procedure.
    virtual void NCMouseDown(int32_t x, int32_t y, bool& bHandled, HDC hdc, int32_t lLeft,
                             int32_t lTop, int32_t lRight, int32_t lBottom) = 0;
    // The left button was released in the frame.
    virtual void NCMouseUp(int32_t x, int32_t y, HDC hdc, int32_t lLeft, int32_t lTop,
                           int32_t lRight, int32_t lBottom) = 0;

    // A popup menu other than the window menu is about to open (the message's parameters).
    virtual void InitMenuPopup(WPARAM wParam, LPARAM lParam) = 0;
    // The window's menu loop ended.
    virtual void ExitMenuLoop() = 0;
    // Alt+vKey was pressed while the window is active: true when the key was used and must be
    // swallowed.
    virtual bool AltKeyAccelerator(int32_t vKey) = 0;

  protected:
    ~INCAreaModifier() = default;  // never deleted through this interface
};

}  // namespace quenlor
