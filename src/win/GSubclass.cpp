#include "win/GSubclass.h"

#include "win/MSubclass.h"

namespace quenlor {

void GSubclass::AttachMessage(ISubclass* handler, HWND hwnd, UINT iMsg) {
    MSubclass::AttachMessage(handler, hwnd, iMsg);
}

void GSubclass::DetachMessage(ISubclass* handler, HWND hwnd, UINT iMsg) {
    MSubclass::DetachMessage(handler, hwnd, iMsg);
}

UINT GSubclass::CurrentMessage() const {
    return MSubclass::CurrentMessage();
}

LRESULT GSubclass::CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
}

}  // namespace quenlor
