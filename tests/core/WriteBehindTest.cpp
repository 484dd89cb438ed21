// The second thread of a long copy: a job's failure reaches its owner, a sync still running is not
// queued again, and the first failed sync is the one reported.
#include <gtest/gtest.h>

#include <future>
#include <stdexcept>
#include <vector>

#include "quenlor/BackgroundJob.h"
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
