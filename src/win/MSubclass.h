// MSubclass: one window procedure, SharedWindowProc, serves every registration of every window.
// It is installed on a window with its first AttachMessage and the window's previous procedure is
// put back with its last DetachMessage. The bookkeeping lives in properties of the window itself:
//   "{hwnd}"              previous window procedure            (while subclassed)
//   "C{hwnd}"             registrations on the window, all messages together (while subclassed)
//   "{hwnd}#{msg}C"       handlers for that message (holding 0 after the last one goes, until the
//                         window's last registration goes)
//   "{hwnd}#{msg}#{i}"    ISubclass* of handler i = 1..count, in order of registration
// with the handle and message in decimal. All calls belong to the thread that owns the window.
// A handler may detach itself, or be detached or deleted, during any message: each message is
// dispatched to the handlers registered when it arrived that are still registered when their turn
// comes. Registrations are told apart by a number of their own, not by the handler's address: a
// handler attached meanwhile, even at the address of one deleted, counts from the next message.
// What a window still has registered when it ends goes at its WM_NCDESTROY.
#pragma once

#include <windows.h>

#include "win/ISubclass.h"

namespace quenlor {
namespace MSubclass {

// Error codes raised by AttachMessage as ObjectError (combined with the object-error base).
constexpr int32_t kErrCantSubclass = 13081;    // "Can't subclass window"
constexpr int32_t kErrAlreadyHandled = 13082;  // "Message already handled by another class"
constexpr int32_t kErrInvalidWindow = 13083;   // "Invalid window"
constexpr int32_t kErrExternalWindow = 13084;  // "Can't modify external window"

// Start subclassing for a particular message. Handlers of one message are called in order of
// registration. Throws ObjectError (13081..13084) and then changes nothing; a null handler is
// rejected with std::invalid_argument.
void AttachMessage(ISubclass* handler, HWND hwnd, UINT iMsg);

// Stop subclassing for a particular message. Restores the previous window procedure with the
// window's last registration. Unknown registrations are ignored; never fails.
void DetachMessage(ISubclass* handler, HWND hwnd, UINT iMsg);

// Returns the message currently being worked on. Only valid in the MsgResponse and WindowProc
// items of your implemented interface.
UINT CurrentMessage();

// Calls the window procedure for this handle which was installed before you added the subclass
// (the one of the dispatch now in progress), e.g. with a changed wParam.
LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

// The window procedure installed on every subclassed window.
LRESULT CALLBACK SharedWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) noexcept;

}  // namespace MSubclass
}  // namespace quenlor
