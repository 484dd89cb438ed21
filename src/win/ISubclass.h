// ISubclass: a handler object that receives chosen messages of a window through the shared
// subclassing service (MSubclass.h). A handler registers itself one message at a time and must
// detach every registration before it is destroyed: registrations hold a plain pointer.
#pragma once

#include <windows.h>

#include <cstdint>

namespace quenlor {

// What happens to the window's previous procedure around the handlers of one message.
enum EMsgResponse : int32_t {
    mrConsume = 0,        // never called; the handlers' result is final
    mrCallOldAfter = 1,   // called after the last handler; its result replaces the handlers' result
    mrCallOldBefore = 2,  // called before the first handler; the handlers' result is final
};

class ISubclass {
  public:
    // Asked while CurrentMessage() already holds the message being dispatched, so the answer may
    // depend on the message. The dispatcher never writes it.
    virtual EMsgResponse MsgResponse() = 0;
    virtual void MsgResponse(EMsgResponse response) = 0;

    // Handles one message; the return value becomes the message result (see EMsgResponse).
    // Must not throw: it is called from inside the system's message dispatch.
    virtual LRESULT WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) = 0;

  protected:
    ~ISubclass() = default;  // handlers are never deleted through this interface
};

}  // namespace quenlor
