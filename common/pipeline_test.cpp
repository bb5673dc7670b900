#include "common/pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
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
