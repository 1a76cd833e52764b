#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Threads that stay for the life of the engine and share out the tiles of a
// generation with the thread that asks, so that no generation pays for
// starting a thread. They are started when first needed. Between jobs a
// thread watches for the next one for a moment before it sleeps: a run's
// generations follow one another within microseconds, sooner than a
// sleeping thread can be woken.
//
// A job's calls are cut into one run of indices per thread, which each thread
// works through first before it helps with the others' runs. A generation
// gives its tiles in the same order every time, so each thread computes
// mostly the tiles it computed the time before, from the cells it wrote
// itself: they are still in its own cache rather than the other core's.
// Handing out the calls in one shared order had each core fetch half of
// every generation from the other, and two cores computed a dense 4096 by
// 4096 board only 1.2 times as fast as one.
class WorkerPool {
public:
    // How long a thread watches for the next job before it sleeps.
    static constexpr std::chrono::microseconds kWatch{200};

    // `threads` counts the calling thread too; 0 means one per core.
    explicit WorkerPool(unsigned threads = 0);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Threads that share a job, the calling thread included.
    unsigned size() const { return threads_; }

    // Called before each thread is started; a test makes it throw.
    void setThreadStartHook(std::function<void()> hook);

    // Calls work(i) once for every i below count, on the pool's threads and
    // the calling thread, and returns when every call has returned. An
    // exception from a call, or from starting a thread, is thrown here, the
    // calls not yet begun being left out. One job at a time: a second caller
    // waits for the first.
    void run(std::size_t count, const std::function<void(std::size_t)>& work);

    // Ends and joins the threads. The next run() starts them again.
    void stop();

private:
    void startThreads();
    void serve(std::stop_token stop, unsigned home);
    void drain(unsigned home);

    // One thread's run of a job's calls: the next one to make and where the
    // run ends. Each on a cache line of its own.
    struct alignas(64) Share {
        std::atomic<std::size_t> next{0};
        std::size_t end = 0;
    };

    const unsigned threads_;
    std::mutex jobMutex_;  // one caller at a time

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable done_;
    const std::function<void(std::size_t)>* work_ = nullptr;
    std::unique_ptr<Share[]> shares_;
    std::atomic<std::uint64_t> job_{0};  // counts jobs, so that a thread joins each once
    bool open_ = false;      // threads may still join the job
    std::atomic<unsigned> joined_{0};  // threads working on the job (changed under mutex_)
    std::exception_ptr error_;
    std::function<void()> startHook_;
    std::vector<std::jthread> helpers_;
};
