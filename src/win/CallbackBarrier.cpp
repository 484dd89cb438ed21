#include "win/CallbackBarrier.h"

namespace quenlor {
namespace {

// One thread runs every callback; the record is only touched there.
struct FailureRecord {
    int count = 0;
    std::string last;
};

FailureRecord& Record() {
    static FailureRecord record;
    return record;
}

}  // namespace

int CallbackFailureCount() {
    return Record().count;
}

std::string LastCallbackFailure() {
    return Record().last;
}

void ReportCallbackFailure(const char* where, const char* what) noexcept {
    FailureRecord& record = Record();
    ++record.count;
    try {
        record.last = std::string(where) + ": " + what;
        OutputDebugStringA((record.last + "\n").c_str());
    } catch (...) {
        // Out of memory while describing it: the count still tells.
    }
}

}  // namespace quenlor
