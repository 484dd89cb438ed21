// The main window's menu bar: 文件(&F) with 打开文件 (搜索目录, 添加文件), 保存目录,
// 识别新版放映器(&N), a separator and 退出; 帮助(&H) with 关于(&A).
#pragma once

#include <windows.h>

namespace quenlor {

enum MenuCommand : UINT {
    kMenuMOFDr = 2001,   // 搜索目录
    kMenuMDF = 2002,     // 添加文件
    kMenuMSFDr = 2003,   // 保存目录
    kMenuMExit = 2004,   // 退出
    kMenuMABOUT = 2005,  // 关于(&A)
    // 识别新版放映器(&N), a check item
    kMenuMAnyVer = 2006,
    // 导出清单…, enabled once a batch has a record
    kMenuMRecord = 2007,
};

// Builds the menu bar; 保存目录 starts disabled. The window that receives it destroys it.
HMENU CreateMainMenu();

}  // namespace quenlor
