#include "ui/MainMenu.h"

namespace quenlor {

HMENU CreateMainMenu() {
    HMENU open = CreatePopupMenu();
    AppendMenuW(open, MF_STRING, kMenuMOFDr, L"搜索目录");
    AppendMenuW(open, MF_STRING, kMenuMDF, L"添加文件");

    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(open), L"打开文件");
    AppendMenuW(file, MF_STRING | MF_GRAYED, kMenuMSFDr, L"保存目录");
    AppendMenuW(file, MF_STRING | MF_UNCHECKED, kMenuMAnyVer, L"识别新版放映器(&N)");
    AppendMenuW(file, MF_STRING | MF_GRAYED, kMenuMRecord, L"导出清单…");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, kMenuMExit, L"退出");

    HMENU help = CreatePopupMenu();
    AppendMenuW(help, MF_STRING, kMenuMABOUT, L"关于(&A)");

    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"文件(&F)");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(help), L"帮助(&H)");
    return bar;
}

}  // namespace quenlor
