// DeliveryThread: a queue of jobs, a condition variable both ways and one worker.
#include "tools/render/DeliveryThread.h"

DeliveryThread::DeliveryThread() : worker([this] { work(); }) {}

DeliveryThread::~DeliveryThread() {
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
        jobs.clear();
    }
    changed.notify_all();
    worker.join();
}

void DeliveryThread::post(std::function<void()> job) {
    {
        std::lock_guard<std::mutex> guard(lock);
        jobs.push_back(std::move(job));
    }
    ++postedJobs;
    changed.notify_all();
}

void DeliveryThread::waitUntilDone(long long count) {
    std::unique_lock<std::mutex> guard(lock);
    changed.wait(guard, [&] { return doneJobs >= count || failure; });
    if (failure) std::rethrow_exception(failure);
}

void DeliveryThread::work() {
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        changed.wait(guard, [&] { return stopping || !jobs.empty(); });
        if (stopping) return;
        std::function<void()> job = std::move(jobs.front());
        jobs.pop_front();
        guard.unlock();
        std::exception_ptr error;
        try {
            job();
        } catch (...) {
            error = std::current_exception();
        }
        guard.lock();
        ++doneJobs;
        if (error && !failure) failure = error;
        if (failure) jobs.clear();
        changed.notify_all();
    }
}
