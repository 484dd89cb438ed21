// A loop whose items the calling thread shares with a few helper threads: for the checks of many
// small files, which spend their time waiting on the file system rather than computing. The caller
// keeps its own duties (pumping the window's messages) between the items it takes.
#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "quenlor/BackgroundJob.h"

namespace quenlor {

class SharedLoop {
  public:
    // Helpers for a machine of this many processors: one fewer than there are (the caller is one),
    // at least one, and no more than three (more only queue on the same disk).
    static unsigned HelpersFor(unsigned processors);

    explicit SharedLoop(unsigned helpers);  // their threads are made by the first Run

    // Runs job(i) for every i below `count`, on the helpers and on this thread, and returns once
    // all have ended. This thread calls `idle` before each item it takes and every few milliseconds
    // while it waits for the helpers' last ones; when `idle` returns false, items not yet begun are
    // skipped. Rethrows the first exception a job threw (the other items run all the same), or
    // one `idle` threw, once no helper runs a job any more.
    // Whatever the jobs share must be safe to use from several threads at once.
    void Run(size_t count, const std::function<void(size_t)>& job,
             const std::function<bool()>& idle);

  private:
    // Runs items until none is left. Items are taken without a lock, since they may cost only a
    // few microseconds each.
    void RunItems(const std::function<void(size_t)>& job, size_t count,
                  const std::function<bool()>* idle);

    std::vector<std::unique_ptr<BackgroundJob>> helpers_;
    std::atomic<size_t> next_{0};
    std::mutex failure_mutex_;
    std::exception_ptr failure_;  // the first a job threw
};

}  // namespace quenlor
