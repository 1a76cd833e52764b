#include "WorkerPool.h"

#include <algorithm>
#include <utility>

WorkerPool::WorkerPool(unsigned threads)
    : threads_(threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency()))
{
}

WorkerPool::~WorkerPool() { stop(); }

void WorkerPool::setThreadStartHook(std::function<void()> hook)
{
    std::lock_guard job(jobMutex_);
    startHook_ = std::move(hook);
}

void WorkerPool::stop()
{
    std::lock_guard job(jobMutex_);
    for (auto& helper : helpers_)
        helper.request_stop();
    helpers_.clear();  // joins
}

void WorkerPool::startThreads()
{
    while (helpers_.size() + 1 < threads_) {
        if (startHook_)
            startHook_();
        helpers_.emplace_back([this](std::stop_token stop) { serve(stop); });
    }
}

void WorkerPool::run(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::lock_guard job(jobMutex_);
    startThreads();
    {
        std::lock_guard lock(mutex_);
        work_ = &work;
        count_ = count;
        next_.store(0);
        error_ = nullptr;
        open_ = true;
        ++job_;
    }
    wake_.notify_all();
    drain();
    std::exception_ptr error;
    {
        // Threads that have not joined yet find the job closed; those that
        // have are waited for.
        std::unique_lock lock(mutex_);
        open_ = false;
        // The helpers are about to finish their last calls: watch for that
        // for a moment rather than sleep and wait to be woken.
        if (joined_.load() != 0) {
            lock.unlock();
            const auto until = std::chrono::steady_clock::now() + kWatch;
            while (joined_.load() != 0 && std::chrono::steady_clock::now() < until)
                std::this_thread::yield();
            lock.lock();
        }
        done_.wait(lock, [this] { return joined_.load() == 0; });
        work_ = nullptr;
        error = std::exchange(error_, nullptr);
    }
    if (error)
        std::rethrow_exception(error);
}

void WorkerPool::drain()
{
    for (std::size_t i = next_.fetch_add(1); i < count_; i = next_.fetch_add(1)) {
        try {
            (*work_)(i);
        } catch (...) {
            std::lock_guard lock(mutex_);
            if (!error_)
                error_ = std::current_exception();
            next_.store(count_);  // the calls not yet begun are left out
        }
    }
}

void WorkerPool::serve(std::stop_token stop)
{
    std::uint64_t seen = 0;
    std::unique_lock lock(mutex_);
    for (;;) {
        lock.unlock();
        const auto until = std::chrono::steady_clock::now() + kWatch;
        while (job_.load() == seen && !stop.stop_requested() && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        lock.lock();
        wake_.wait(lock, stop, [&] { return open_ && job_ != seen; });
        if (stop.stop_requested())
            return;
        seen = job_;
        ++joined_;
        lock.unlock();
        drain();
        lock.lock();
        if (--joined_ == 0)
            done_.notify_all();
    }
}
