// One thread beside the event loop's, for work that may be done ahead of need (decoding the pictures of
// pages about to be shown). Jobs run one after another, in the order they were posted; the thread is
// started by the first job and sleeps on a condition, using no processor time, while there is none.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class TWorkerThread {
public:
    TWorkerThread() = default;
    // Lets the job that is running end, drops those still waiting, and joins the thread.
    ~TWorkerThread();
    TWorkerThread(const TWorkerThread&) = delete;
    TWorkerThread& operator=(const TWorkerThread&) = delete;

    // The process's one worker, made at its first use and ended when the process exits.
    static TWorkerThread& Shared();

    // Queues job. It runs on the worker thread and must not raise: whatever it makes, it hands over
    // itself, under its own lock.
    void Post(std::function<void()> job);

private:
    void Run();

    std::mutex FLock;
    std::condition_variable FWake;
    std::deque<std::function<void()>> FJobs;
    bool FStopping = false;
    std::thread FThread;
};
