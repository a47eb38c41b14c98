// Threads for the scan. The standard library's on POSIX; Windows's own on
// Windows, where the compiler's runtime (mingw-w64's win32 thread model)
// has none and its POSIX model would link a threads library into cvxscan.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace cvxscan {

// The number of processors this program may run on, at least 1.
unsigned ProcessorCount();

// `count` threads, each running `work` once; the destructor waits for all.
class WorkerThreads {
public:
    WorkerThreads(unsigned count, const std::function<void()>& work);
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

private:
    struct Threads;
    std::function<void()> work_;
    std::unique_ptr<Threads> threads_;
};

// A lock with one condition, for handing results from the workers over.
class Handover {
public:
    Handover();
    ~Handover();
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    void Lock();
    void Unlock();
    // With the lock held: waits until notified or until `timeout` passes
    // (or spuriously), and holds the lock again on return.
    void WaitFor(std::chrono::milliseconds timeout);
    void NotifyAll();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace cvxscan
