// The worker thread's queue.
#include "graphics/TWorkerThread.h"

#include <utility>

TWorkerThread::~TWorkerThread() {
    {
        std::lock_guard lock(FLock);
        FStopping = true;
        FJobs.clear();
    }
    FWake.notify_all();
    if (FThread.joinable()) FThread.join();
}

TWorkerThread& TWorkerThread::Shared() {
    static TWorkerThread worker;
    return worker;
}

void TWorkerThread::Post(std::function<void()> job) {
    {
        std::lock_guard lock(FLock);
        if (FStopping) return;
        FJobs.push_back(std::move(job));
        if (!FThread.joinable()) FThread = std::thread([this] { Run(); });
    }
    FWake.notify_one();
}

void TWorkerThread::Run() {
    std::unique_lock lock(FLock);
    for (;;) {
        FWake.wait(lock, [this] { return FStopping || !FJobs.empty(); });
        if (FStopping) return;
        std::function<void()> job = std::move(FJobs.front());
        FJobs.pop_front();
        lock.unlock();
        job();
        // What the job captured goes before the lock is taken again.
        job = nullptr;
        lock.lock();
    }
}
