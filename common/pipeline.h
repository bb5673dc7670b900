// The one way work runs on threads here: an ordered pipeline. Jobs are given
// in order, run on the pipeline's worker threads (several at once), and
// their results are taken back in the order the jobs were given, so whatever
// the jobs produce comes out as it would from one thread, only sooner.
//
// The pipeline owns its threads: its destructor lets the jobs that are
// running finish, drops those that have not started, and joins the threads,
// so an early return between the first job and the last result is safe. Jobs
// may use what the caller owns only if the caller's objects outlive the
// pipeline (declare the pipeline after them).
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <utility>

namespace zoneloads {

// Worker threads for the programs' pipelines: one setting for the whole run.
// With 0, every job runs on the calling thread when it is given, which gives
// the same results (the tests compare both).
constexpr int kWorkerThreads = 2;

// The number of threads the machine runs at once (at least 1).
int processorCount();

// Threads that run jobs in the order given, each job on the first free one.
struct WorkerPool;

// A pool of `threads` threads (none: jobs run where they are given).
std::unique_ptr<WorkerPool, void (*)(WorkerPool*)> startWorkers(int threads);

// Runs `job` on the pool, or here and now when the pool has no thread.
void runOnWorkers(WorkerPool& pool, std::function<void()> job);

template <typename Result>
class Pipeline {
public:
    // `threads` workers (fewer, down to none, when the system cannot start
    // them), at most `depth` jobs given and not yet taken back (at least one).
    Pipeline(int threads, std::size_t depth) : pool_(startWorkers(threads)), depth_(depth > 0 ? depth : 1) {}
    Pipeline(const Pipeline&) = delete;
    Pipeline& operator=(const Pipeline&) = delete;

    // True when `depth` results wait to be taken: take one before giving a job.
    bool full() const { return pending_.size() >= depth_; }
    // True when no result waits to be taken.
    bool empty() const { return pending_.empty(); }

    // Gives a job; the pipeline must not be full.
    void give(std::function<Result()> job) {
        auto task = std::make_shared<std::packaged_task<Result()>>(std::move(job));
        pending_.push_back(task->get_future());
        runOnWorkers(*pool_, [task] { (*task)(); });
    }

    // Waits for the oldest job given and not yet taken, and returns its
    // result; the pipeline must not be empty.
    Result takeOldest() {
        Result result = pending_.front().get();
        pending_.pop_front();
        return result;
    }

private:
    std::deque<std::future<Result>> pending_;  // destroyed after the pool has stopped
    std::unique_ptr<WorkerPool, void (*)(WorkerPool*)> pool_;
    std::size_t depth_;
};

}  // namespace zoneloads
