// Creates the main window's controls at their places. Positions are in twips, converted at the
// window's resolution.
#include "ui/Form1.h"

#include <commctrl.h>

#include "ui/HomePage.h"
#include "ui/res/resource.h"

namespace quenlor {
namespace {

HWND CreateChild(HWND parent, const wchar_t* window_class, const wchar_t* text, DWORD style,
                 DWORD ex_style, const RECT& bounds, int id, HFONT font) {
    HWND child = CreateWindowExW(
        ex_style, window_class, text, WS_CHILD | style, bounds.left, bounds.top,
        bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
        reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    if (child) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

}  // namespace

void Form1::CreateControls() {
    // The controls' font: 宋体, 9 points.
    font_.Reset(CreateFontW(-MulDiv(9, twips_.dpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                            GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"宋体"));
    HFONT font = font_.get();
    banner_.Reset(static_cast<HBITMAP>(
        LoadImageW(instance_, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP, 0, 0, 0)));

    auto place = [&](ButtonCr& button, int id, int left, int top, int width, int height,
                     const wchar_t* caption, bool enabled) {
        const RECT r = twips_.Rect(left, top, width, height);
        HWND hwnd = button.Create(hwnd_, id, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                  caption, enabled, true);
        if (hwnd) SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    };
    Controls& c = controls_;
    // BS_NOTIFY: the window draws the focus cue around the box's caption (a label of its own).
    constexpr DWORD kCheckBoxStyle = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_NOTIFY;

    // Made in the order Tab visits them (更改 before its box, as the layout has always had it).
    place(c.ButtonCr2, kIdButtonCr2, 5040, 810, 855, 330, L"更改", false);
    c.Text2 = CreateChild(hwnd_, L"EDIT", L"", WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                          WS_EX_CLIENTEDGE, twips_.Rect(1200, 840, 3735, 270), kIdText2, font);
    EnableWindow(c.Text2, FALSE);
    place(c.ButtonCr1, kIdButtonCr1, 240, 1320, 855, 375, L"打开", true);
    place(c.Command3, kIdCommand3, 1200, 1320, 975, 375, L"停止搜索", false);
    place(c.Command4, kIdCommand4, 2400, 1320, 855, 375, L"添加", true);
    c.Check1 = CreateChild(hwnd_, L"BUTTON", L"", kCheckBoxStyle, 0,
                           twips_.Rect(3480, 1380, 255, 255), kIdCheck1, font);
    SendMessageW(c.Check1, BM_SETCHECK, BST_CHECKED, 0);
    c.Check2 = CreateChild(hwnd_, L"BUTTON", L"", kCheckBoxStyle, 0,
                           twips_.Rect(4680, 1380, 255, 255), kIdCheck2, font);

    list_.Create(hwnd_, kIdListView1, twips_.Rect(0, 1800, 6015, 2535), twips_);
    SendMessageW(list_.hWnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FitColumnsToHeaders(list_.hWnd());

    place(c.Command8, kIdCommand8, 240, 4440, 975, 375, L"全选", false);
    place(c.ButtonCr3, kIdButtonCr3, 1320, 4440, 855, 375, L"删除", false);
    place(c.Command7, kIdCommand7, 2760, 4440, 855, 375, L"转换", false);
    place(c.Command6, kIdCommand6, 3720, 4440, 855, 375, L"停止", false);
    place(c.Command2, kIdCommand2, 4920, 4440, 855, 375, L"退出", true);

    // The search routine's carrier and the folder it searches: both hidden, run from code.
    c.Command1 = CreateChild(hwnd_, L"BUTTON", L"搜索(&S)", BS_PUSHBUTTON, 0,
                             twips_.Rect(2040, 3240, 975, 375), kIdCommand1, font);
    EnableWindow(c.Command1, FALSE);
    c.Text1 = CreateChild(hwnd_, L"EDIT", L"", ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
                          twips_.Rect(3840, 3480, 375, 270), kIdText1, font);

    c.ButtonCr1.Click = [this] { MOFDr_Click(); };
    c.ButtonCr2.Click = [this] { MSFDr_Click(); };
    c.ButtonCr3.Click = [this] { ButtonCr3_Click(); };
    c.Command3.Click = [this] { Command3_Click(); };
    c.Command4.Click = [this] { Command4_Click(); };
    c.Command8.Click = [this] { Command8_Click(); };
    c.Command7.Click = [this] { Command7_Click(); };
    c.Command6.Click = [this] { Command6_Click(); };
    c.Command2.Click = [this] { Command2_Click(); };

    status_ = std::wstring(L"首页链接: ") + kHomePage;
    tips_.SetArea(StatusBox(), [this] { return StatusTip(); });
}

RECT Form1::Picture1Bounds() const {
    return twips_.Rect(720, 30, 4725, 670);
}

}  // namespace quenlor
