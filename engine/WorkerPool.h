#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Threads that stay for the life of the engine and share out the tiles of a
// generation with the thread that asks, so that no generation pays for
// starting a thread. They are started when first needed. Between jobs a
// thread watches for the next one for a moment before it sleeps: a run's
// generations follow one another within microseconds, sooner than a
// sleeping thread can be woken.
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
    void serve(std::stop_token stop);
    void drain();

    const unsigned threads_;
    std::mutex jobMutex_;  // one caller at a time

    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::condition_variable done_;
    const std::function<void(std::size_t)>* work_ = nullptr;
    std::size_t count_ = 0;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::uint64_t> job_{0};  // counts jobs, so that a thread joins each once
    bool open_ = false;      // threads may still join the job
    std::atomic<unsigned> joined_{0};  // threads working on the job (changed under mutex_)
    std::exception_ptr error_;
    std::function<void()> startHook_;
    std::vector<std::jthread> helpers_;
};
