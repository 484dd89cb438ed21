// One job at a time on a second thread, so that CPU work (a movie's hash) runs while the caller
// waits on the disk. The thread is made with the first job and ends with the object.
#pragma once

#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace quenlor {

class BackgroundJob {
  public:
    BackgroundJob() = default;
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;
    ~BackgroundJob();  // waits for the job in hand, then ends the thread

    // Waits for the previous job, then hands `job` to the thread. Whatever the job reads must
    // stay untouched until the next Start or Wait returns. Runs `job` here when no thread can be
    // made.
    void Start(std::function<void()> job);
    // Returns once the last job has finished; rethrows what it threw.
    void Wait();
    // Wait, for at most `timeout`: false when the job is still running then.
    bool WaitFor(std::chrono::milliseconds timeout);
    // True while a job is handed over and not yet finished.
    bool Busy();

  private:
    void Loop();

    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> job_;  // handed over, not yet taken up by the thread
    bool busy_ = false;          // a job is handed over and not yet finished
    std::exception_ptr failure_;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace quenlor
