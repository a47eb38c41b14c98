#include "tools/cvxscan/scan.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <optional>

#include "frame/tag_record.h"
#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/platform/threads.h"
#include "tools/host/plugin_library.h"

namespace cvxscan {


namespace {

// Why a plug-in refused the file at `path`, given as `hostPath`, as far as
// the host can tell.
std::string Refusal(const LoadedPlugin& plugin, const std::string& path, const std::string& hostPath) {
    if (hostPath.size() >= cvx::kPathFieldSize) {
        return "path longer than " + std::to_string(cvx::kPathFieldSize - 1) + " bytes (the host's limit)";
    }
    const std::string why = WhyUnreadable(path);
    return why.empty() ? "not a readable " + plugin.formatName + " file" : why;
}

}  // namespace

void ReadOneFile(const LoadedPlugin& plugin, const std::string& path, ScanOutcome& outcome) {
    outcome.entry.path = path;
    outcome.entry.plugin = plugin.fileName;
    outcome.failure.clear();
    outcome.read = false;
    std::string hostPath;
    if (!HostPathFor(path, hostPath, outcome.failure)) return;
    cvx::host::FileInfoPtr info = plugin.library->CreateFileInfo(0);
    if (!info) {
        outcome.failure = "gave no file-info object";
        return;
    }
    cvx::host::OpenAndReadInto(*info, hostPath, outcome.entry.reading);
    outcome.read = outcome.entry.reading.openResult == 0;
    if (!outcome.read) outcome.failure = Refusal(plugin, path, hostPath);
}

void ScanInOrder(const PluginSet& plugins, const std::vector<std::string>& files, unsigned jobs,
                 const std::function<bool(const ScanOutcome&)>& deliver, const std::function<void()>& waiting) {
    if (jobs <= 1) {
        // On this thread, into one outcome: no handing over, no allocation
        // once its strings have grown, and the same order.
        ScanOutcome outcome;
        for (const std::string& file : files) {
            ReadOneFile(*plugins.PluginFor(file), file, outcome);
            if (!deliver(outcome)) return;
        }
        return;
    }
    std::vector<std::optional<ScanOutcome>> outcomes(files.size());
    Handover handover;
    std::atomic<size_t> nextFile{0};
    std::atomic<bool> stopped{false};

    auto work = [&] {
        for (size_t i = nextFile++; i < files.size() && !stopped; i = nextFile++) {
            ScanOutcome outcome;
            ReadOneFile(*plugins.PluginFor(files[i]), files[i], outcome);
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
        const ScanOutcome outcome = std::move(*outcomes[i]);
        outcomes[i].reset();
        handover.Unlock();
        if (!deliver(outcome)) {
            stopped = true;
            return;  // the workers finish the files they have and stop
        }
    }
}

}  // namespace cvxscan
