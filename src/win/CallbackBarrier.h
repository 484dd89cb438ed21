// The edge between the system and our code. Every procedure the system calls back (window
// procedures, hook and timer procedures) runs its work through RunGuarded: an exception that
// escapes the work is caught there, counted and described, and the caller's fallback answer is
// returned instead, so that no exception ever unwinds into the system and the program carries on.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace quenlor {

// Failures caught at the barrier since the program started (tests read these).
int CallbackFailureCount();
// "<where>: <description>" of the most recent failure; empty before the first.
std::string LastCallbackFailure();

// Records a failure caught at the barrier: counts it, keeps its text and writes it to the
// debugger's output.
void ReportCallbackFailure(const char* where, const char* what) noexcept;

// Runs `work()`; when it throws, reports the failure and returns `fallback()` instead.
template <typename Work, typename Fallback>
auto RunGuarded(const char* where, Work&& work, Fallback&& fallback) noexcept -> decltype(work()) {
    try {
        return work();
    } catch (const std::exception& error) {
        ReportCallbackFailure(where, error.what());
    } catch (...) {
        ReportCallbackFailure(where, "unknown exception");
    }
    try {
        return fallback();
    } catch (...) {
        ReportCallbackFailure(where, "fallback failed");
        return {};
    }
}

}  // namespace quenlor
