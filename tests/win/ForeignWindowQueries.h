// Questions the foreign-window helper answers about its own window, from inside its own process
// (another process cannot read a window's procedure: it gets 0 for every window).
#pragma once

#include <windows.h>

namespace quenlor::test {

// Answers 1 while the window's procedure is still the helper's own, 0 otherwise.
constexpr UINT kAskProcedureIsOwn = WM_APP + 100;
// Answers the number of properties on the window, counted with EnumPropsExW.
constexpr UINT kAskPropertyCount = WM_APP + 101;
// Makes the helper itself replace its procedure and add a property, as a subclass would: shows
// that the two questions above see such a change.
constexpr UINT kAskToSubclassItself = WM_APP + 102;

}  // namespace quenlor::test
