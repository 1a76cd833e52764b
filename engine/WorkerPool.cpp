#include "WorkerPool.h"

#include <algorithm>
#include <utility>

WorkerPool::WorkerPool(unsigned threads)
    : threads_(threads != 0 ? threads : std::max(1u, std::thread::hardware_concurrency())),
      shares_(std::make_unique<Share[]>(threads_))
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
        const auto home = static_cast<unsigned>(helpers_.size() + 1);
        helpers_.emplace_back([this, home](std::stop_token stop) { serve(stop, home); });
    }
}

void WorkerPool::run(std::size_t count, const std::function<void(std::size_t)>& work)
{
    std::lock_guard job(jobMutex_);
    startThreads();
    {
        std::lock_guard lock(mutex_);
        work_ = &work;
        for (unsigned k = 0; k < threads_; ++k) {
            shares_[k].next.store(count * k / threads_);
            shares_[k].end = count * (k + 1) / threads_;
        }
        error_ = nullptr;
        open_ = true;
        ++job_;
    }
    wake_.notify_all();
    drain(0);
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

void WorkerPool::drain(unsigned home)
{
    for (unsigned k = 0; k < threads_; ++k) {
        Share& share = shares_[(home + k) % threads_];
        for (std::size_t i = share.next.fetch_add(1); i < share.end; i = share.next.fetch_add(1)) {
            try {
                (*work_)(i);
            } catch (...) {
                std::lock_guard lock(mutex_);
                if (!error_)
                    error_ = std::current_exception();
                for (unsigned j = 0; j < threads_; ++j)  // the calls not yet begun are left out
                    shares_[j].next.store(shares_[j].end);
            }
        }
    }
}

void WorkerPool::serve(std::stop_token stop, unsigned home)
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
        drain(home);
        lock.lock();
        if (--joined_ == 0)
            done_.notify_all();
    }
}
