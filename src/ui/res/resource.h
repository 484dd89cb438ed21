// Resource identifiers shared by Quenlor.rc and the code.
#pragma once

#define IDI_QUENLOR 1        // the program icon (32 x 32 16 colours, plus 16, 48 and 256)
#define IDB_BANNER 101       // the banner picture shown in place of the banner movie (315 x 45)
#define IDB_PICCAPTION 102   // caption skin: band active and inactive, caption buttons (640 x 48, 24 bits)
#define IDB_PICBORDER 103    // border skin: 10 x 10 edge and corner tiles (70 x 10, 8 bits)
// The same two pictures drawn for 120, 144 and 192 dots per inch (125, 150 and 200 %): every size
// and position scaled by dpi / 96.
#define IDB_PICCAPTION_120 105
#define IDB_PICBORDER_120 106
#define IDB_PICCAPTION_144 107
#define IDB_PICBORDER_144 108
#define IDB_PICCAPTION_192 109
#define IDB_PICBORDER_192 110
#define IDC_LINK 104         // the About window link's hand cursor (32 x 32, monochrome)
#define IDR_MANIFEST 1       // RT_MANIFEST, resource 1
#define IDM_MAINMENU 200     // optional menu template (the window may also build its menu in code)
