#include "tools/cvxscan/scan.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>

#include "tools/cvxscan/platform/threads.h"

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
    Handover handover;
    std::atomic<size_t> nextFile{0};

    auto work = [&] {
        for (size_t i = nextFile++; i < files.size(); i = nextFile++) {
            ScanOutcome outcome = ReadOneFile(*plugins.PluginFor(files[i]), files[i]);
            handover.Lock();
            outcomes[i] = std::move(outcome);
            handover.NotifyAll();
            handover.Unlock();
        }
    };
    const WorkerThreads workers(static_cast<unsigned>(std::min<size_t>(jobs, files.size())), work);

    constexpr auto kWaitingInterval = std::chrono::milliseconds(100);
    for (size_t i = 0; i < files.size(); ++i) {
        handover.Lock();
        while (!outcomes[i]) {
            handover.WaitFor(kWaitingInterval);
            if (outcomes[i]) break;
            handover.Unlock();
            waiting();
            handover.Lock();
        }
        ScanOutcome outcome = std::move(*outcomes[i]);
        outcomes[i].reset();
        handover.Unlock();
        deliver(std::move(outcome));
    }
}
