// Resource identifiers shared by Quenlor.rc and the code.
#pragma once

#define IDI_QUENLOR 1        // the program icon (32 x 32 16 colours, plus 16, 48 and 256)
#define IDB_BANNER 101       // the banner picture shown in place of the banner movie (315 x 45)
#define IDC_LINK 102         // the About window link's hand cursor (32 x 32, monochrome)
#define IDR_MANIFEST 1       // RT_MANIFEST, resource 1
#define IDM_MAINMENU 200     // optional menu template (the window may also build its menu in code)
