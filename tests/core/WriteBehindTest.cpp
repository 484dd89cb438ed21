// The second thread of a long copy: a job's failure reaches its owner, a sync still running is not
// queued again, and the first failed sync is the one reported. The loop a search shares with its
// helper threads: every item once, a stop skips the rest, a failure reaches the caller.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>
#include <vector>

#include "quenlor/BackgroundJob.h"
#include "quenlor/SharedLoop.h"
#include "quenlor/WriteBehind.h"

namespace quenlor::test {
namespace {

TEST(BackgroundJobTest, AJobsExceptionIsRethrownByWaitOnce) {
    BackgroundJob job;
    job.Start([] { throw std::runtime_error("disk on fire"); });
    EXPECT_THROW(job.Wait(), std::runtime_error);
    EXPECT_NO_THROW(job.Wait());
    int runs = 0;
    job.Start([&runs] { ++runs; });
    job.Wait();
    EXPECT_EQ(runs, 1);
}

TEST(SharedLoopTest, EveryItemOnceUnlessStoppedAndTheCallerKeepsItsDuties) {
    struct Case {
        unsigned helpers;
        size_t count;
        int stop_at;               // the idle call that returns false; -1: none
        int throw_at;              // the item that throws; -1: none
        bool idle_throws = false;  // at stop_at, instead of returning false
    };
    const Case cases[] = {
        {0, 5, -1, -1},    {1, 1000, -1, -1}, {3, 1000, -1, -1}, {1, 0, -1, -1},
        {3, 1000, 10, -1}, {1, 200, -1, 150}, {3, 200, -1, 0},   {3, 1000, 10, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.helpers << " helpers, " << c.count << " items");
        SharedLoop loop(c.helpers);
        for (int round = 0; round < 2; ++round) {  // a loop serves any number of runs
            const std::thread::id caller = std::this_thread::get_id();
            std::vector<std::atomic<int>> runs(c.count);
            std::atomic<bool> helped{false}, stopped{false}, caller_waited{false}, all_taken{false};
            std::atomic<int> idles{0}, idles_after_all_taken{0}, in_job{0};
            std::atomic<size_t> taken{0};
            const auto wait_for = [](const std::atomic<bool>& flag) {  // five seconds at most
                for (int ms = 0; !flag && ms < 5000; ++ms) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            };
            // The caller waits once for a helper to take part; a helper's first item lasts until
            // every item is taken and 100 ms more, so the caller is seen keeping its duties while
            // it waits; a stop to come is awaited by the helpers' items, so that it comes before
            // they are all done.
            const auto job = [&](size_t i) {
                const bool on_caller = std::this_thread::get_id() == caller;
                ++in_job;
                if (++taken == c.count) {
                    idles_after_all_taken = 0;
                    all_taken = true;
                }
                ++runs[i];
                if (on_caller && c.helpers > 0 && !caller_waited.exchange(true)) wait_for(helped);
                if (!on_caller && !helped.exchange(true) && c.stop_at < 0) {
                    wait_for(all_taken);
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
                if (!on_caller && c.stop_at >= 0) wait_for(stopped);
                --in_job;
                if (static_cast<int>(i) == c.throw_at) throw std::runtime_error("unreadable");
            };
            const auto idle = [&] {
                ++idles_after_all_taken;
                if (idles++ == c.stop_at) stopped = true;
                if (stopped && c.idle_throws) throw std::runtime_error("window gone");
                return !stopped;
            };
            bool threw = false;
            try {
                loop.Run(c.count, job, idle);
            } catch (const std::runtime_error&) {
                threw = true;
            }
            EXPECT_EQ(threw, c.throw_at >= 0 || c.idle_throws);
            EXPECT_EQ(in_job, 0);  // no job outlives the loop
            size_t ran = 0;
            for (auto& r : runs) {
                EXPECT_LE(r.load(), 1);  // no item twice
                ran += static_cast<size_t>(r.load());
            }
            // Duties that throw stop the loop once the failure reaches it: the helpers may begin
            // more items meanwhile, but none outlives the loop.
            if (!c.idle_throws) {
                EXPECT_TRUE(c.stop_at < 0 ? ran == c.count : ran < c.count) << ran;
            }
            if (c.helpers > 0 && c.count > 0 && c.stop_at < 0) {
                EXPECT_TRUE(helped);
                EXPECT_GE(idles_after_all_taken, 2);
            }
        }
    }
}

TEST(WriteBehindTest, AFlushWhileASyncRunsStartsNoOther) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    int syncs = 0;
    WriteBehind behind([&] {
        ++syncs;
        released.wait();
        return 0;
    });
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(behind.Start());
    release.set_value();
    EXPECT_EQ(behind.Finish(), 0);
    EXPECT_EQ(syncs, 1);
}

TEST(WriteBehindTest, TheFirstFailedSyncIsReported) {
    struct Case {
        const char* name;
        std::vector<int> results;  // of the syncs, in order
        int reported;
    } kCases[] = {
        {"all made durable", {0, 0, 0}, 0},
        {"the first fails", {28, 0, 0}, 28},
        {"a later one fails", {0, 5, 28}, 5},
    };
    for (const Case& k : kCases) {
        SCOPED_TRACE(k.name);
        size_t next = 0;
        WriteBehind behind([&] { return next < k.results.size() ? k.results[next++] : 0; });
        bool failed = false;
        for (size_t i = 0; i < k.results.size(); ++i) {
            EXPECT_EQ(behind.Start(), !failed) << "sync " << i;
            failed = behind.Finish() != 0;  // waits, so every Start begins a sync
        }
        EXPECT_EQ(behind.Finish(), k.reported);
        EXPECT_EQ(behind.Start(), k.reported == 0);
    }
}

}  // namespace
}  // namespace quenlor::test
