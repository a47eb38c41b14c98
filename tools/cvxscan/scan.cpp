#include "tools/cvxscan/scan.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

ScanOutcome ReadOneFile(const LoadedPlugin& plugin, const std::string& path) {
    ScanOutcome outcome;
    outcome.entry.path = path;
    outcome.entry.plugin = plugin.fileName;
    FileInfoPtr info = plugin.library->CreateFileInfo(0);
    if (!info) {
        outcome.failure = plugin.fileName + " gave no file-info object";
        return outcome;
    }
    outcome.entry.reading = OpenAndRead(*info, path);
    outcome.read = outcome.entry.reading.openResult == 0;
    if (!outcome.read) outcome.failure = plugin.fileName + " cannot read it";
    return outcome;
}

void ScanInOrder(const PluginSet& plugins, const std::vector<std::string>& files, unsigned jobs,
                 const std::function<void(ScanOutcome&&)>& deliver, const std::function<void()>& waiting) {
    std::vector<std::optional<ScanOutcome>> outcomes(files.size());
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<size_t> nextFile{0};

    auto work = [&] {
        for (size_t i = nextFile++; i < files.size(); i = nextFile++) {
            ScanOutcome outcome = ReadOneFile(*plugins.PluginFor(files[i]), files[i]);
            const std::lock_guard<std::mutex> lock(mutex);
            outcomes[i] = std::move(outcome);
            ready.notify_one();
        }
    };
    std::vector<std::thread> workers;
    for (unsigned j = 0; j < jobs && j < files.size(); ++j) workers.emplace_back(work);

    constexpr auto kWaitingInterval = std::chrono::milliseconds(100);
    for (size_t i = 0; i < files.size(); ++i) {
        std::unique_lock<std::mutex> lock(mutex);
        while (!ready.wait_for(lock, kWaitingInterval, [&] { return outcomes[i].has_value(); })) {
            lock.unlock();
            waiting();
            lock.lock();
        }
        ScanOutcome outcome = std::move(*outcomes[i]);
        outcomes[i].reset();
        lock.unlock();
        deliver(std::move(outcome));
    }
    for (std::thread& worker : workers) worker.join();
}
