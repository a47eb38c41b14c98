#include <windows.h>

#include <vector>

#include "tools/cvxscan/platform/threads.h"

namespace cvxscan {

namespace {

DWORD WINAPI RunWork(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}

}  // namespace

unsigned ProcessorCount() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors > 0 ? system.dwNumberOfProcessors : 1;
}

struct WorkerThreads::Threads {
    std::vector<HANDLE> all;
};

WorkerThreads::WorkerThreads(unsigned count, const std::function<void()>& work)
    : work_(work), threads_(std::make_unique<Threads>()) {
    for (unsigned i = 0; i < count; ++i) {
        if (HANDLE thread = CreateThread(nullptr, 0, RunWork, &work_, 0, nullptr)) threads_->all.push_back(thread);
    }
    // Without any thread the work still gets done, here.
    if (threads_->all.empty() && count > 0) work_();
}

WorkerThreads::~WorkerThreads() {
    for (HANDLE thread : threads_->all) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

struct Handover::State {
    SRWLOCK lock = SRWLOCK_INIT;
    CONDITION_VARIABLE condition = CONDITION_VARIABLE_INIT;
};

Handover::Handover() : state_(std::make_unique<State>()) {}
Handover::~Handover() = default;
void Handover::Lock() { AcquireSRWLockExclusive(&state_->lock); }
void Handover::Unlock() { ReleaseSRWLockExclusive(&state_->lock); }

void Handover::WaitFor(std::chrono::milliseconds timeout) {
    SleepConditionVariableSRW(&state_->condition, &state_->lock, static_cast<DWORD>(timeout.count()), 0);
}

void Handover::NotifyAll() { WakeAllConditionVariable(&state_->condition); }

}  // namespace cvxscan
