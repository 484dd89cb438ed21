#include "quenlor/SharedLoop.h"

#include <algorithm>
#include <chrono>
#include <system_error>
#include <utility>

namespace quenlor {

unsigned SharedLoop::HelpersFor(unsigned processors) {
    return std::clamp(processors, 2u, 4u) - 1;
}

SharedLoop::SharedLoop(unsigned helpers) {
    for (unsigned i = 0; i < helpers; ++i) {
        try {
            helpers_.emplace_back(&SharedLoop::Helper, this);
        } catch (const std::system_error&) {
            break;  // fewer helpers, or none: the caller runs the items itself
        }
    }
}

SharedLoop::~SharedLoop() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    for (std::thread& helper : helpers_) helper.join();
}

void SharedLoop::Run(size_t count, const std::function<void(size_t)>& job,
                     const std::function<bool()>& idle) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = &job;
        count_ = count;
        next_ = 0;
        failure_ = nullptr;
        ++round_;
    }
    work_.notify_all();
    try {
        RunItems(job, count, &idle);
        WaitForHelpers(&idle);
    } catch (...) {
        // The caller's duties failed: nothing more is begun, and the jobs (which may use what
        // the caller is about to unwind) have all ended before the failure goes on.
        next_ = count;
        WaitForHelpers(nullptr);
        throw;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    job_ = nullptr;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void SharedLoop::WaitForHelpers(const std::function<bool()>* idle) {
    std::unique_lock<std::mutex> lock(mutex_);
    count_ = 0;  // late helpers find nothing to take
    // Those still busy may wait on a slow disk; the caller's duties go on meanwhile.
    while (helpers_in_ > 0) {
        if (ended_.wait_for(lock, std::chrono::milliseconds(5)) == std::cv_status::timeout &&
            idle) {
            lock.unlock();
            (*idle)();
            lock.lock();
        }
    }
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
            std::lock_guard<std::mutex> lock(mutex_);
            if (!failure_) failure_ = std::current_exception();
        }
    }
}

void SharedLoop::Helper() {
    std::unique_lock<std::mutex> lock(mutex_);
    // Rounds are counted from 1: a helper that starts after the first Run began still joins it.
    unsigned joined = 0;
    for (;;) {
        work_.wait(lock, [&] { return quit_ || (round_ != joined && count_ > 0); });
        if (quit_) return;
        joined = round_;
        ++helpers_in_;
        const std::function<void(size_t)>& job = *job_;
        const size_t count = count_;
        lock.unlock();
        RunItems(job, count, nullptr);
        lock.lock();
        --helpers_in_;
        ended_.notify_all();
    }
}

}  // namespace quenlor
