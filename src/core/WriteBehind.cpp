#include "quenlor/WriteBehind.h"

namespace quenlor {

bool WriteBehind::Start() {
    if (!job_.Busy()) {
        job_.Start([this] {
            int none = 0;
            if (const int error = sync_()) error_.compare_exchange_strong(none, error);
        });
    }
    return error_ == 0;
}

int WriteBehind::Finish() {
    job_.Wait();
    return error_;
}

}  // namespace quenlor
