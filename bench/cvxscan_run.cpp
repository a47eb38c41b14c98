// cvxscan against the benchmark's driver over the same folder: the whole
// program as a user runs it, and the same program over an empty folder, so
// that its start (loading the plug-ins and their libraries) can be told
// from its work per file.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>

#include "bench/cvxscan_run.h"

namespace cvx::bench {

namespace fs = std::filesystem;

namespace {

// One run of cvxscan --jobs 1 --format csv, its output thrown away; seconds.
double RunCvxscan(const std::string& cvxscan, const std::string& plugins, const std::string& folder) {
    std::vector<std::string> args = {cvxscan, "--plugins", plugins, "--jobs", "1", "--format", "csv", folder};
    std::vector<char*> pointers;
    for (std::string& arg : args) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child;
    int status = 0;
    if (posix_spawn(&child, pointers[0], &actions, nullptr, pointers.data(), environ) == 0) waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A folder of `count` hard links to `files`, taken in turn: as many files
// as a real folder, with no more disk than the set. Links beyond `count`
// from an earlier run are removed.
std::vector<std::string> LinkFolder(const fs::path& folder, const std::vector<std::string>& files,
                                    const std::string& extension, size_t count) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::vector<std::string> links;
    for (size_t i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "link-%06zu.%s", i, extension.c_str());
        const fs::path link = folder / name;
        fs::create_hard_link(files[i % files.size()], link);
        links.push_back(link.string());
    }
    return links;  // in the order cvxscan walks them
}

}  // namespace

void TimeCvxscan(const CvxscanBench& bench, int rounds) {
    std::printf("\ncvxscan --jobs 1 --format csv over %zu files against the driver over the same files\n"
                "(median of %d rounds; start: cvxscan over an empty folder):\n",
                bench.files, rounds);
    std::printf("%-6s %10s %10s %8s %10s %14s\n", "format", "driver s", "cvxscan s", "ratio", "start s",
                "ratio less start");
    const fs::path empty = fs::path(bench.corpusFolder) / "scan" / "empty";
    fs::create_directories(empty);
    for (const CvxscanBench::Format& format : bench.formats) {
        const fs::path folder = fs::path(bench.corpusFolder) / "scan" / format.extension;
        const std::vector<std::string> links = LinkFolder(folder, *format.files, format.extension, bench.files);
        std::vector<double> driver, cvxscan, start;
        for (int round = 0; round < rounds + 1; ++round) {
            const auto begin = std::chrono::steady_clock::now();
            PassTotals totals;
            for (const std::string& path : links) format.reader->Read(path.c_str(), totals);
            const double driven = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            const double scanned = RunCvxscan(bench.cvxscan, bench.pluginFolder, folder.string());
            const double started = RunCvxscan(bench.cvxscan, bench.pluginFolder, empty.string());
            if (round == 0) continue;  // warm-up
            driver.push_back(driven);
            cvxscan.push_back(scanned);
            start.push_back(started);
        }
        const double d = Median(driver), c = Median(cvxscan), s = Median(start);
        std::printf("%-6s %10.4f %10.4f %7.2fx %10.4f %13.2fx\n", format.extension.c_str(), d, c, c / d, s,
                    (c - s) / d);
    }
}

}  // namespace cvx::bench
