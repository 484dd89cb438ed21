#include "quenlor/SharedLoop.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace quenlor {

unsigned SharedLoop::HelpersFor(unsigned processors) {
    return std::clamp(processors, 2u, 4u) - 1;
}

SharedLoop::SharedLoop(unsigned helpers) {
    for (unsigned i = 0; i < helpers; ++i) helpers_.push_back(std::make_unique<BackgroundJob>());
}

void SharedLoop::Run(size_t count, const std::function<void(size_t)>& job,
                     const std::function<bool()>& idle) {
    if (count == 0) return;
    next_ = 0;
    failure_ = nullptr;
    for (auto& helper : helpers_)
        helper->Start([this, &job, count] { RunItems(job, count, nullptr); });
    try {
        RunItems(job, count, &idle);
        // Those still busy may wait on a slow disk; the caller's duties go on meanwhile.
        for (auto& helper : helpers_) {
            while (!helper->WaitFor(std::chrono::milliseconds(5))) idle();
        }
    } catch (...) {
        // The caller's duties failed: nothing more is begun, and the jobs (which may use what
        // the caller is about to unwind) have all ended before the failure goes on.
        next_ = count;
        for (auto& helper : helpers_) helper->Wait();
        throw;
    }
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void SharedLoop::RunItems(const std::function<void(size_t)>& job, size_t count,
                          const std::function<bool()>* idle) {
    for (;;) {
        if (idle && !(*idle)()) {
            next_ = count;  // the helpers take nothing more either
            return;
        }
        const size_t item = next_++;
        if (item >= count) return;
        try {
            job(item);
        } catch (...) {
            std::lock_guard<std::mutex> lock(failure_mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
    }
}

}  // namespace quenlor
