#include "quenlor/BackgroundJob.h"

#include <system_error>
#include <utility>

namespace quenlor {

BackgroundJob::~BackgroundJob() {
    if (!thread_.joinable()) return;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return !busy_; });
        quit_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void BackgroundJob::Start(std::function<void()> job) {
    Wait();
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread(&BackgroundJob::Loop, this);
        } catch (const std::system_error&) {
            job();  // no second thread to be had: the work is done all the same
            return;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = std::move(job);
        busy_ = true;
    }
    changed_.notify_all();
}

void BackgroundJob::Wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !busy_; });
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

bool BackgroundJob::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!changed_.wait_for(lock, timeout, [this] { return !busy_; })) return false;
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
    return true;
}

bool BackgroundJob::Busy() {
    std::lock_guard<std::mutex> lock(mutex_);
    return busy_;
}

void BackgroundJob::Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return busy_ || quit_; });
        if (!busy_) return;
        std::function<void()> job = std::exchange(job_, nullptr);
        lock.unlock();
        std::exception_ptr failure;
        try {
            job();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        failure_ = failure;
        busy_ = false;
        changed_.notify_all();
    }
}

}  // namespace quenlor
