// DeliveryThread: runs the renderer's jobs on a thread of its own, one at a time and in the order they
// were posted, so that measuring and writing one chunk overlaps reading and processing the next. The
// first job that throws stops the rest; its error is thrown again on the renderer's thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

class DeliveryThread {
public:
    DeliveryThread();
    ~DeliveryThread();  // drops the jobs not yet started and waits for the running one
    DeliveryThread(const DeliveryThread&) = delete;
    DeliveryThread& operator=(const DeliveryThread&) = delete;

    void post(std::function<void()> job);
    // Waits until the first `count` posted jobs have run; throws the error of one that failed.
    void waitUntilDone(long long count);
    long long posted() const { return postedJobs; }

private:
    void work();

    std::mutex lock;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    long long postedJobs = 0;  // renderer's thread only
    long long doneJobs = 0;
    std::exception_ptr failure;
    bool stopping = false;
    std::thread worker;
};
