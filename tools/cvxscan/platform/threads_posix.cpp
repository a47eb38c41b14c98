#include <sched.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include "tools/cvxscan/platform/threads.h"

namespace cvxscan {

unsigned ProcessorCount() {
    // The processors this process may use, as nproc counts them.
    cpu_set_t allowed;
    if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) return std::max(1, CPU_COUNT(&allowed));
    return std::max(1u, std::thread::hardware_concurrency());
}

struct WorkerThreads::Threads {
    std::vector<std::thread> all;
};

WorkerThreads::WorkerThreads(unsigned count, const std::function<void()>& work)
    : work_(work), threads_(std::make_unique<Threads>()) {
    for (unsigned i = 0; i < count; ++i) threads_->all.emplace_back(work_);
}

WorkerThreads::~WorkerThreads() {
    for (std::thread& thread : threads_->all) thread.join();
}

struct Handover::State {
    std::mutex mutex;
    std::condition_variable condition;
};

Handover::Handover() : state_(std::make_unique<State>()) {}
Handover::~Handover() = default;
void Handover::Lock() { state_->mutex.lock(); }
void Handover::Unlock() { state_->mutex.unlock(); }

void Handover::WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(state_->mutex, std::adopt_lock);
    state_->condition.wait_for(lock, timeout);
    lock.release();  // still held, by the caller
}

void Handover::NotifyAll() { state_->condition.notify_all(); }

}  // namespace cvxscan
