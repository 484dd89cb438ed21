// A plain window that shows a cMenuBar in a band at the top of its client area, the way the caption
// painter does in the caption: it renders the bar on every WM_NCPAINT and passes WM_INITMENUPOPUP
// to PreparePopup. Also a scripted driver for modal popups and pixels; input and pumping come from
// the shared test support.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/Input.h"
#include "tests/support/Pump.h"
#include "frame/cMenuBar.h"

namespace quenlor::test {

constexpr COLORREF kBand = RGB(200, 220, 240);        // the band behind the bar
constexpr COLORREF kActive = RGB(0, 0, 255);          // ActiveMenuColor
constexpr COLORREF kActiveOver = RGB(255, 0, 0);      // ActiveMenuColorOver
constexpr COLORREF kBackground = RGB(255, 255, 200);  // MenuBackgroundColor
constexpr int kBandHeight = 20;
constexpr int kBandTop = 2;  // the bar is drawn 2 px below the band's top, which is client y 0

// Commands of the test menu: "&File" {"&Open\tCtrl+O", "Sub&menu" {"&Deep"}, separator,
// "&Check" (checked), "&Radio" (radio, checked), "&Disabled" (greyed), "E&xit"}, command "Go",
// "&Edit" {"&Copy", "&Paste"}, "&Help" {"&About"}.
enum : UINT { kOpen = 101, kCheck, kRadio, kDisabled, kExit, kDeep = 201, kGo = 300 };

class BarHost {
  public:
    BarHost();
    ~BarHost();
    HWND hwnd() const { return hwnd_; }
    cMenuBar& bar() { return *bar_; }
    HMENU menu() const { return menu_; }
    HMENU file() const { return GetSubMenu(menu_, 0); }
    HMENU sub() const { return GetSubMenu(file(), 1); }
    HMENU edit() const { return GetSubMenu(menu_, 2); }
    HMENU help() const { return GetSubMenu(menu_, 3); }
    HFONT barFont() const { return barFont_; }
    void Repaint() { SendMessageW(hwnd_, WM_NCPAINT, 0, 0); }
    void DestroyBar() { bar_.reset(); }

    std::vector<UINT> commands;       // WM_COMMAND identifiers received
    bool deleteBarOnDestroy = false;  // as the painter goes with its window

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void PaintBand();
    HWND hwnd_ = nullptr;
    HMENU menu_ = nullptr;
    HFONT barFont_ = nullptr;
    std::unique_ptr<cMenuBar> bar_;
};

// One host for the whole program: destroying a top-level window costs seconds under Wine.
BarHost& SharedHost();
POINT ItemCentre(cMenuBar& bar, int index);  // screen point in the middle of bar item `index`
POINT AwayFromBar(const BarHost& host);      // screen point outside the host window

// The popup menus on screen, outermost first (their menu handles).
std::vector<HMENU> OpenPopups();

// Runs steps from a thread timer, so they also run inside modal menu loops: each step waits until
// `ready`, then acts. A step that is not ready within 5 s ends the script and any menu, and so
// does a menu still open 5 s after the last step.
class Script {
  public:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit Script(std::vector<Step> steps);
    ~Script();
    bool Done() const { return next_ >= steps_.size(); }
    const std::vector<std::string>& failures() const { return failures_; }

  private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    std::vector<Step> steps_;
    size_t next_ = 0;
    ULONGLONG stepStart_ = 0;
    UINT_PTR timer_ = 0;
    std::vector<std::string> failures_;
};

// Ready once the popups on screen have been `expected` for 300 ms in a row.
std::function<bool()> Settled(std::vector<HMENU> expected);

// Pixel counts in a rectangle of a device context.
int CountColour(HDC dc, const RECT& area, COLORREF colour);

}  // namespace quenlor::test
