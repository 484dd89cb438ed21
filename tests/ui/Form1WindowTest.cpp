// The main window as it opens: its frame, controls, places, captions, states and menus.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "tests/ui/Form1Fixture.h"
#include "ui/MainMenu.h"

namespace quenlor::test {
namespace {

std::wstring MenuText(HMENU menu, UINT position) {
    wchar_t buffer[128] = {};
    GetMenuStringW(menu, position, buffer, 128, MF_BYPOSITION);
    return buffer;
}

TEST_F(Form1Test, OpensWithFixedFrameTitleAndButtonFaceBackground) {
    HWND hwnd = form->hWnd();
    EXPECT_EQ(TextOf(hwnd), L"Quenlor转换器");
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_CAPTION);  // the caption is the skin's
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_EQ(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
    RECT client;
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, 417);
    EXPECT_EQ(client.bottom, 358);
    EXPECT_EQ(form->StatusText(), L"首页链接: https://quenlor.example.org/");
}

TEST_F(Form1Test, SkinnedFrameKeepsTheClientAreaAndUsesSongTi) {
    // The skin's margins: 10 pixels left, right and bottom, 48 on top.
    HWND hwnd = form->hWnd();
    RECT window;
    GetWindowRect(hwnd, &window);
    POINT origin = {0, 0};
    ClientToScreen(hwnd, &origin);
    EXPECT_EQ(window.right - window.left, 417 + 20);
    EXPECT_EQ(window.bottom - window.top, 358 + 58);
    EXPECT_EQ(origin.x - window.left, 10);
    EXPECT_EQ(origin.y - window.top, 48);
    ASSERT_NE(form->Caption(), nullptr);
    for (StdFont* font : {&form->Caption()->CaptionFont(), &form->Caption()->MenuFont()}) {
        EXPECT_EQ(font->Name(), L"宋体");
        EXPECT_EQ(font->Size(), 9);
    }
}

TEST_F(Form1Test, StartsWithOnlyOpenAddAndExitUsable) {
    EXPECT_EQ(list().RowCount(), 0);
    EXPECT_TRUE(c().ButtonCr1.Enabled());
    EXPECT_TRUE(c().Command4.Enabled());
    EXPECT_TRUE(c().Command2.Enabled());
    EXPECT_FALSE(c().Command8.Enabled());
    EXPECT_FALSE(c().ButtonCr3.Enabled());
    EXPECT_FALSE(c().Command7.Enabled());
    EXPECT_FALSE(c().Command6.Enabled());
    EXPECT_FALSE(c().Command3.Enabled());
    EXPECT_FALSE(c().ButtonCr2.Enabled());
    EXPECT_FALSE(MenuEnabled(kMenuMSFDr));
    EXPECT_TRUE(MenuEnabled(kMenuMOFDr));
    EXPECT_TRUE(MenuEnabled(kMenuMDF));
    EXPECT_TRUE(MenuEnabled(kMenuMExit));

    EXPECT_EQ(SendMessageW(c().Check1, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(c().Check2, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(c().Text2));
    EXPECT_EQ(TextOf(c().Text2), L"");
    // Auto save on: the save-directory box is drawn in the button-face colour.
    HDC dc = GetDC(c().Text2);
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(form->hWnd(), WM_CTLCOLORSTATIC,
                                                             reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(c().Text2)));
    ReleaseDC(c().Text2, dc);
    EXPECT_EQ(brush, GetSysColorBrush(COLOR_BTNFACE));

    EXPECT_FALSE(IsWindowVisible(c().Command1));
    EXPECT_FALSE(IsWindowEnabled(c().Command1));
    EXPECT_EQ(TextOf(c().Command1), L"搜索(&S)");
    EXPECT_FALSE(IsWindowVisible(c().Text1));

    EXPECT_EQ(c().ButtonCr1.Caption(), L"打开");
    EXPECT_EQ(c().ButtonCr2.Caption(), L"更改");
    EXPECT_EQ(c().ButtonCr3.Caption(), L"删除");
    EXPECT_EQ(c().Command3.Caption(), L"停止搜索");
    EXPECT_EQ(c().Command4.Caption(), L"添加");
    EXPECT_EQ(c().Command8.Caption(), L"全选");
    EXPECT_EQ(c().Command7.Caption(), L"转换");
    EXPECT_EQ(c().Command6.Caption(), L"停止");
    EXPECT_EQ(c().Command2.Caption(), L"退出");
}

TEST_F(Form1Test, MenuTreeHasItsCaptions) {
    HMENU bar = form->Menu();
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    EXPECT_EQ(MenuText(bar, 0), L"文件(&F)");
    EXPECT_EQ(MenuText(bar, 1), L"帮助(&H)");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 6);
    EXPECT_EQ(MenuText(file, 0), L"打开文件");
    EXPECT_EQ(MenuText(file, 1), L"保存目录");
    EXPECT_EQ(MenuText(file, 2), L"识别新版放映器(&N)");
    EXPECT_EQ(MenuText(file, 3), L"导出清单…");
    EXPECT_TRUE(GetMenuState(file, 4, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(MenuText(file, 5), L"退出");
    HMENU open = GetSubMenu(file, 0);
    ASSERT_EQ(GetMenuItemCount(open), 2);
    EXPECT_EQ(MenuText(open, 0), L"搜索目录");
    EXPECT_EQ(MenuText(open, 1), L"添加文件");
    HMENU help = GetSubMenu(bar, 1);
    ASSERT_EQ(GetMenuItemCount(help), 1);
    EXPECT_EQ(MenuText(help, 0), L"关于(&A)");
}

TEST_F(Form1Test, ListHasFiveColumnsAndAFlatHeader) {
    HWND lv = list().hWnd();
    EXPECT_EQ(GetWindowLongPtrW(lv, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(SendMessageW(lv, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES);
    HWND header = reinterpret_cast<HWND>(SendMessageW(lv, LVM_GETHEADER, 0, 0));
    EXPECT_FALSE(GetWindowLongPtrW(header, GWL_STYLE) & HDS_BUTTONS);

    struct Expected {
        const wchar_t* text;
        int width_twips;
        int format;
    };
    const Expected columns[] = {{L"文件名称", 2500, LVCFMT_LEFT},
                                {L"转换结果", 800, LVCFMT_LEFT},
                                {L"Flash版本", 1000, LVCFMT_LEFT},
                                {L"大小", 900, LVCFMT_RIGHT},
                                {L"保存目录", 2500, LVCFMT_LEFT}};
    ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 5);
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(SendMessageW(lv, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(text, columns[i].text);
        // At least its width; wider where the header's font needs it (see Form1LayoutTest).
        EXPECT_GE(column.cx, MulDiv(columns[i].width_twips, 96, 1440)) << i;
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, columns[i].format) << i;
    }
}

TEST_F(Form1Test, ProgramFolderIsTheAddDialogsStart) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::filesystem::path(form->InitDir), std::filesystem::path(path).parent_path());
    dialogs.open_files.push_back(L"");
    form->MDF_Click();
    ASSERT_EQ(dialogs.open_requests.size(), 1u);
    EXPECT_EQ(dialogs.open_requests[0].initial_directory, form->InitDir);
    EXPECT_EQ(dialogs.open_requests[0].flags, 0x81200u);
    EXPECT_EQ(dialogs.open_requests[0].filter, L"Flash动画影片(*.EXE)|*.exe|");
}

// Places in twips, converted at 96, 120 and 144 dots per inch.
class Form1LayoutTest : public Form1Test, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override { Open(GetParam()); }
    RECT Expected(int left, int top, int width, int height) const {
        const int dpi = GetParam();
        const int x = MulDiv(left, dpi, 1440), y = MulDiv(top, dpi, 1440);
        return RECT{x, y, x + MulDiv(width, dpi, 1440), y + MulDiv(height, dpi, 1440)};
    }
    void ExpectAt(HWND control, int left, int top, int width, int height, const char* name) {
        const RECT actual = ClientRectOf(control);
        const RECT expected = Expected(left, top, width, height);
        EXPECT_EQ(actual.left, expected.left) << name;
        EXPECT_EQ(actual.top, expected.top) << name;
        EXPECT_EQ(actual.right, expected.right) << name;
        EXPECT_EQ(actual.bottom, expected.bottom) << name;
    }
};

TEST_P(Form1LayoutTest, ControlsSitAtTheirPlaces) {
    const int dpi = GetParam();
    RECT client;
    GetClientRect(form->hWnd(), &client);
    EXPECT_EQ(client.right, MulDiv(6255, dpi, 1440));
    EXPECT_EQ(client.bottom, MulDiv(5370, dpi, 1440));

    ExpectAt(c().Text2, 1200, 840, 3735, 270, "Text2");
    ExpectAt(c().ButtonCr2.hWnd(), 5040, 810, 855, 330, "ButtonCr2");
    ExpectAt(c().ButtonCr1.hWnd(), 240, 1320, 855, 375, "ButtonCr1");
    ExpectAt(c().Command3.hWnd(), 1200, 1320, 975, 375, "Command3");
    ExpectAt(c().Command4.hWnd(), 2400, 1320, 855, 375, "Command4");
    ExpectAt(c().Check1, 3480, 1380, 255, 255, "Check1");
    ExpectAt(c().Check2, 4680, 1380, 255, 255, "Check2");
    ExpectAt(list().hWnd(), 0, 1800, 6015, 2535, "ListView1");
    ExpectAt(c().Command8.hWnd(), 240, 4440, 975, 375, "Command8");
    ExpectAt(c().ButtonCr3.hWnd(), 1320, 4440, 855, 375, "ButtonCr3");
    ExpectAt(c().Command7.hWnd(), 2760, 4440, 855, 375, "Command7");
    ExpectAt(c().Command6.hWnd(), 3720, 4440, 855, 375, "Command6");
    ExpectAt(c().Command2.hWnd(), 4920, 4440, 855, 375, "Command2");
    ExpectAt(c().Command1, 2040, 3240, 975, 375, "Command1");
    ExpectAt(c().Text1, 3840, 3480, 375, 270, "Text1");
    const RECT banner = form->Picture1Bounds();
    const RECT expected_banner = Expected(720, 30, 4725, 670);
    EXPECT_TRUE(EqualRect(&banner, &expected_banner));

    // Every control draws with 宋体 at 9 points.
    for (HWND control : {c().Text2, c().Check1, list().hWnd(), c().Command7.hWnd()}) {
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW info = {};
        GetObjectW(font, sizeof(info), &info);
        EXPECT_STREQ(info.lfFaceName, L"宋体");
        EXPECT_EQ(info.lfHeight, -MulDiv(9, dpi, 72));
    }
}

// What a person reads off the header and the status line, from the window's fonts and pixels:
// every caption whole, the box's edges drawn with equal margins, its text centred inside it.
TEST_P(Form1LayoutTest, HeaderCaptionsAreWholeAndTheStatusBoxHoldsItsText) {
    HWND header = reinterpret_cast<HWND>(SendMessageW(list().hWnd(), LVM_GETHEADER, 0, 0));
    HDC dc = GetDC(header);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(header, WM_GETFONT, 0, 0)));
    for (int i = 0; i < 5; ++i) {
        wchar_t text[64] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        SIZE extent = {};
        GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
        // The header keeps three edge widths free on either side of a caption.
        EXPECT_GE(item.cxy, extent.cx + 6 * GetSystemMetrics(SM_CXEDGE)) << i;
    }
    ReleaseDC(header, dc);

    dc = GetDC(form->hWnd());
    auto at = [&](int x, int y) { return GetPixel(dc, x, y); };
    const COLORREF dark = GetSysColor(COLOR_WINDOWTEXT), light = GetSysColor(COLOR_3DHIGHLIGHT);
    RECT client, box = form->StatusBox();
    GetClientRect(form->hWnd(), &client);
    const int width = client.right, mid = (box.top + box.bottom) / 2;
    int left = 0, right = width - 1, top = mid, bottom = mid;
    while (left < right && at(left, mid) != dark) ++left;
    while (right > left && at(right, mid) != light) --right;
    EXPECT_EQ(left, width - 1 - right) << "the margins left and right of the box";
    while (top > 0 && at(left, top - 1) == dark) --top;
    while (at(right, bottom + 1) == light) ++bottom;
    int first_ink = bottom, last_ink = top;
    for (int y = top; y <= bottom; ++y) {
        EXPECT_EQ(at(right, y), light) << "right edge, row " << y;
        for (int x = left + 1; x < right; ++x) {
            if (y == top || y == bottom) {
                EXPECT_EQ(at(x, y), y == top ? dark : light) << "edge, column " << x;
            } else if (at(x, y) != GetSysColor(COLOR_BTNFACE)) {
                first_ink = std::min(first_ink, y);
                last_ink = std::max(last_ink, y);
            }
        }
    }
    ReleaseDC(form->hWnd(), dc);
    EXPECT_LE(std::abs((first_ink - top) - (bottom - last_ink)), 1)
        << "text rows " << first_ink << "-" << last_ink << " in the box " << top << "-" << bottom;
}

INSTANTIATE_TEST_SUITE_P(Dpi, Form1LayoutTest, ::testing::Values(96, 120, 144));

}  // namespace
}  // namespace quenlor::test
