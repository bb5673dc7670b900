#include "common/pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <utility>
#include <vector>

namespace zoneloads {
namespace {

// Jobs that end in the opposite order to the one they were given in still
// come back in that order, with at most `depth` of them given at a time.
TEST(Pipeline, ResultsComeBackInTheOrderGiven) {
    for (int threads : {0, 1, 3}) {
        Pipeline<int> pipeline(threads, 4);
        std::atomic<int> running{0};
        std::atomic<int> most{0};
        std::vector<int> taken;
        for (int k = 0; k < 40; ++k) {
            if (pipeline.full()) taken.push_back(pipeline.takeOldest());
            pipeline.give([k, &running, &most] {
                int now = ++running;
                for (int seen = most; now > seen && !most.compare_exchange_weak(seen, now);) {}
                std::this_thread::sleep_for(std::chrono::microseconds(400 - 10 * (k % 4)));
                --running;
                return k * k;
            });
        }
        while (!pipeline.empty()) taken.push_back(pipeline.takeOldest());
        ASSERT_EQ(taken.size(), 40u);
        for (int k = 0; k < 40; ++k) EXPECT_EQ(taken[static_cast<std::size_t>(k)], k * k) << threads;
        EXPECT_LE(most, threads == 0 ? 1 : threads) << threads;
    }
}

// A pipeline of N threads runs its jobs on N workers of its own, all busy at
// once, never on the caller's thread; one of none runs each job on the
// caller's thread as it is given.
TEST(Pipeline, RunsJobsOnAsManyWorkersAsAsked) {
    for (int threads : {0, 1, 2, 3}) {
        const int together = std::max(threads, 1);  // jobs that wait for each other
        std::mutex mutex;
        std::condition_variable changed;
        int started = 0;
        Pipeline<std::pair<std::thread::id, bool>> pipeline(threads, 12);
        for (int k = 0; k < 12; ++k) {
            pipeline.give([k, together, &mutex, &changed, &started] {
                bool metTheOthers = true;
                if (k < together) {
                    // The first jobs wait until all of them run: only N workers at once let them.
                    std::unique_lock<std::mutex> lock(mutex);
                    ++started;
                    changed.notify_all();
                    metTheOthers = changed.wait_for(lock, std::chrono::seconds(30),
                                                    [&started, together] { return started >= together; });
                }
                return std::make_pair(std::this_thread::get_id(), metTheOthers);
            });
        }
        std::set<std::thread::id> workers;
        std::set<std::thread::id> firstJobs;
        for (int k = 0; k < 12; ++k) {
            std::pair<std::thread::id, bool> ran = pipeline.takeOldest();
            EXPECT_TRUE(ran.second) << threads << " threads: job " << k << " did not meet the others";
            workers.insert(ran.first);
            if (k < together) firstJobs.insert(ran.first);
        }
        if (threads == 0) {
            EXPECT_EQ(workers, std::set<std::thread::id>{std::this_thread::get_id()});
        } else {
            EXPECT_EQ(firstJobs.size(), static_cast<std::size_t>(threads));
            EXPECT_EQ(workers, firstJobs) << threads;  // no thread beyond its N
            EXPECT_EQ(workers.count(std::this_thread::get_id()), 0u) << threads;
        }
    }
}

// Leaving before every result is taken stops and joins the threads; jobs
// that had not started never run, and those running finish first.
TEST(Pipeline, EndsCleanlyWithJobsInFlight) {
    std::atomic<int> finished{0};
    {
        Pipeline<int> pipeline(2, 8);
        for (int k = 0; k < 8; ++k) {
            pipeline.give([&finished] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                return ++finished;
            });
        }
    }
    int after = finished;
    EXPECT_GE(after, 0);
    EXPECT_LE(after, 8);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(finished, after);  // nothing runs once the pipeline is gone
}

}  // namespace
}  // namespace zoneloads
