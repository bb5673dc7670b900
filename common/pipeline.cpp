#include "common/pipeline.h"

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "common/platform.h"

namespace zoneloads {

struct WorkerPool {
    std::vector<std::thread> threads;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;  // given and not yet started
    bool stopping = false;
};

namespace {

void runJobs(WorkerPool& pool) {
    std::unique_lock<std::mutex> lock(pool.mutex);
    for (;;) {
        pool.changed.wait(lock, [&pool] { return pool.stopping || !pool.jobs.empty(); });
        if (pool.stopping) return;
        std::function<void()> job = std::move(pool.jobs.front());
        pool.jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

// Lets the running jobs finish, drops the waiting ones and joins the threads.
void stopWorkers(WorkerPool* pool) {
    {
        std::lock_guard<std::mutex> lock(pool->mutex);
        pool->stopping = true;
        pool->jobs.clear();
    }
    pool->changed.notify_all();
    for (std::thread& thread : pool->threads) thread.join();
    delete pool;
}

}  // namespace

int processorCount() {
    unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? static_cast<int>(count) : 1;
}

std::unique_ptr<WorkerPool, void (*)(WorkerPool*)> startWorkers(int threads) {
    std::unique_ptr<WorkerPool, void (*)(WorkerPool*)> pool(new WorkerPool, stopWorkers);
    // Started while interrupts are held, the workers never take one: an
    // interrupt reaches the main thread, which may hold it off for a while.
    InterruptsHeld held;
    for (int i = 0; i < threads; ++i) {
        try {
            pool->threads.emplace_back(runJobs, std::ref(*pool));
        } catch (const std::system_error&) {
            break;  // the system has no more threads: fewer workers, or none (jobs run where given), same results
        }
    }
    return pool;
}

void runOnWorkers(WorkerPool& pool, std::function<void()> job) {
    if (pool.threads.empty()) {
        job();
        return;
    }
    {
        std::lock_guard<std::mutex> lock(pool.mutex);
        pool.jobs.push_back(std::move(job));
    }
    pool.changed.notify_one();
}

}  // namespace zoneloads
