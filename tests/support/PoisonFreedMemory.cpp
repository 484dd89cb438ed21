// Linked into window tests that cannot run under the sanitizers (Win32 code under Wine): every
// block given back with delete is overwritten with 0xDD and held in a quarantine for a while before
// it is really freed. An object used after its deletion then has a poisoned vtable pointer and the
// call faults, instead of quietly reading memory that still looks alive. The system may swallow a
// fault inside a window procedure, so every access violation is also counted as it happens.
#include "tests/support/PoisonFreedMemory.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include <malloc.h>

namespace {

constexpr size_t kQuarantine = 256;
void* g_quarantine[kQuarantine] = {};
size_t g_next = 0;

void Poison(void* block) noexcept {
    if (block == nullptr) return;
    std::memset(block, 0xDD, _msize(block));
    std::free(g_quarantine[g_next]);
    g_quarantine[g_next] = block;
    g_next = (g_next + 1) % kQuarantine;
}

LONG g_accessViolations = 0;

LONG CALLBACK CountAccessViolation(EXCEPTION_POINTERS* exception) {
    if (exception->ExceptionRecord->ExceptionCode == EXCEPTION_ACCESS_VIOLATION)
        InterlockedIncrement(&g_accessViolations);
    return EXCEPTION_CONTINUE_SEARCH;
}

const PVOID g_counter = AddVectoredExceptionHandler(1, &CountAccessViolation);

}  // namespace

int quenlor::test::AccessViolations() {
    return static_cast<int>(g_accessViolations);
}

// The library's new takes its blocks from malloc, and every other delete ends in this one.
void operator delete(void* block) noexcept {
    Poison(block);
}
void operator delete(void* block, size_t) noexcept {
    Poison(block);
}
