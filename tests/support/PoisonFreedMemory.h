// Freed memory is poisoned in the tests that link PoisonFreedMemory.cpp; a use after free faults.
#pragma once

namespace quenlor::test {

// Access violations raised in the process so far, also those the system swallowed.
int AccessViolations();

}  // namespace quenlor::test
