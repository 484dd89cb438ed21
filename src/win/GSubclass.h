// GSubclass: the subclassing service (MSubclass.h) offered as methods of an object. Every method
// forwards to the module operation of the same name and reports the same errors.
#pragma once

#include <windows.h>

#include "win/ISubclass.h"

namespace quenlor {

class GSubclass {
  public:
    void AttachMessage(ISubclass* handler, HWND hwnd, UINT iMsg);
    void DetachMessage(ISubclass* handler, HWND hwnd, UINT iMsg);
    UINT CurrentMessage() const;
    LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam);
};

}  // namespace quenlor
