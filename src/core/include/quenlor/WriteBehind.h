// Write-behind for a long copy: the file is made durable on a second thread while the writer goes
// on, so the copy never stops to wait for the disk and little is left for the final sync. Used by
// each platform's file layer with its own sync call.
#pragma once

#include <atomic>
#include <functional>
#include <utility>

#include "quenlor/BackgroundJob.h"

namespace quenlor {

class WriteBehind {
  public:
    // `sync` makes everything written so far durable and returns 0, or the platform's error code.
    explicit WriteBehind(std::function<int()> sync) : sync_(std::move(sync)) {}

    // Starts a sync unless one is still running. False once a sync has failed.
    bool Start();
    // Waits for the running sync; the error code of the first that failed, or 0.
    int Finish();

  private:
    std::function<int()> sync_;
    std::atomic<int> error_{0};
    BackgroundJob job_;  // last: its end waits for a running sync, which uses the members above
};

}  // namespace quenlor
