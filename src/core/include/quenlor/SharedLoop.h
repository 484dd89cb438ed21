// A loop whose items the calling thread shares with a few helper threads: for the checks of many
// small files, which spend their time waiting on the file system rather than computing. The caller
// keeps its own duties (pumping the window's messages) between the items it takes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace quenlor {

class SharedLoop {
  public:
    // Helpers for a machine of this many processors: one fewer than there are (the caller is one),
    // at least one, and no more than three (more only queue on the same disk).
    static unsigned HelpersFor(unsigned processors);

    explicit SharedLoop(unsigned helpers);
    SharedLoop(const SharedLoop&) = delete;
    SharedLoop& operator=(const SharedLoop&) = delete;
    ~SharedLoop();  // ends the helpers; never called while Run runs

    // Runs job(i) for every i below `count`, on the helpers and on this thread, and returns once
    // all have ended. This thread calls `idle` before each item it takes and every few milliseconds
    // while it waits for the helpers' last ones; when `idle` returns false, items not yet begun are
    // skipped. Rethrows the first exception a job threw (the other items run all the same), or
    // one `idle` threw, once no helper runs a job any more.
    // Whatever the jobs share must be safe to use from several threads at once.
    void Run(size_t count, const std::function<void(size_t)>& job,
             const std::function<bool()>& idle);

  private:
    void Helper();
    // Runs items until none is left; no lock is held. Items are taken without one, since they
    // may cost only a few microseconds each.
    void RunItems(const std::function<void(size_t)>& job, size_t count,
                  const std::function<bool()>* idle);

    // Returns once no helper runs an item of this loop, calling `idle` (if any) meanwhile.
    void WaitForHelpers(const std::function<bool()>* idle);

    std::mutex mutex_;
    std::condition_variable work_;   // a loop to join, or the end
    std::condition_variable ended_;  // a helper has left the loop
    const std::function<void(size_t)>* job_ = nullptr;
    std::atomic<size_t> next_{0};
    size_t count_ = 0;
    unsigned round_ = 0;       // counts the loops run, so that a helper joins each only once
    unsigned helpers_in_ = 0;  // helpers taking items of the current loop
    std::exception_ptr failure_;
    bool quit_ = false;
    std::vector<std::thread> helpers_;
};

}  // namespace quenlor
