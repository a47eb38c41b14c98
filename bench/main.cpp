// corvane_bench: files per second of each plug-in through its binary
// interface, of the bare library calls it is built on, and of TagLib, on one
// generated corpus; or, with --callgrind, instructions per file.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "bench/readers.h"

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: corvane_bench [--rounds N] [--callgrind [--files N]] [--plugins DIR] CORPUS_DIR\n"
    "Writes the corpus into CORPUS_DIR when it is not there yet. Times every reader\n"
    "over it in N alternating rounds (default 7) and prints medians; with\n"
    "--callgrind, runs itself under valgrind and prints instructions per file over\n"
    "the first N files of each format (default 100).\n";

struct Settings {
    int rounds = 7;
    bool callgrind = false;
    size_t callgrindFiles = 100;
    std::string pluginFolder, corpusFolder;
};

struct Driver {
    std::string format, name;
    std::unique_ptr<Reader> reader;
    const std::vector<std::string>* files;
    std::string Label() const { return format + " " + name; }
};

PassTotals Pass(Driver& driver, size_t fileLimit) {
    PassTotals totals;
    const size_t count = std::min(fileLimit, driver.files->size());
    for (size_t i = 0; i < count; ++i) driver.reader->Read((*driver.files)[i].c_str(), totals);
    return totals;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Prints one line per reader: the measure, and its ratio to the floor and
// to TagLib of the same format. `higherIsBetter` turns the ratios so that
// above 1 always means faster than the other.
void PrintTable(const std::vector<Driver>& drivers, const std::map<std::string, double>& measure, const char* unit,
                bool higherIsBetter) {
    std::printf("%-6s %-9s %14s %10s %10s\n", "format", "reader", unit, "vs floor", "vs TagLib");
    for (const Driver& d : drivers) {
        const double value = measure.at(d.Label());
        const double floor = measure.at(d.format + " floor");
        const double taglib = measure.at(d.format + " TagLib");
        auto ratio = [&](double other) { return higherIsBetter ? value / other : other / value; };
        std::printf("%-6s %-9s %14.0f %9.2fx %9.2fx\n", d.format.c_str(), d.name.c_str(), value, ratio(floor),
                    ratio(taglib));
    }
}

void PrintTotals(const Driver& driver, const PassTotals& totals) {
    std::printf("  %-12s %5llu files, %llu failed, %llu s of audio, %llu text bytes\n", driver.Label().c_str(),
                static_cast<unsigned long long>(totals.files), static_cast<unsigned long long>(totals.failed),
                static_cast<unsigned long long>(totals.seconds), static_cast<unsigned long long>(totals.textBytes));
}

void Time(std::vector<Driver>& drivers, int rounds) {
    std::printf("warm-up pass (also shows what each reader read):\n");
    for (Driver& driver : drivers) PrintTotals(driver, Pass(driver, SIZE_MAX));

    std::map<std::string, std::vector<double>> filesPerSecond;
    for (int round = 0; round < rounds; ++round) {
        // Each round starts with a different reader, so none always runs
        // right after the same neighbour.
        for (size_t k = 0; k < drivers.size(); ++k) {
            Driver& driver = drivers[(k + static_cast<size_t>(round)) % drivers.size()];
            const auto start = std::chrono::steady_clock::now();
            const PassTotals totals = Pass(driver, SIZE_MAX);
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
            filesPerSecond[driver.Label()].push_back(static_cast<double>(totals.files) / elapsed.count());
        }
    }
    std::map<std::string, double> medians;
    for (const auto& [label, values] : filesPerSecond) medians[label] = Median(values);
    std::printf("\nmedian of %d rounds:\n", rounds);
    PrintTable(drivers, medians, "files/s", true);
}

// Under valgrind: one collected pass per reader, each dumped under its label.
void CountUnderCallgrind(std::vector<Driver>& drivers, size_t files) {
    for (Driver& driver : drivers) {
        Pass(driver, files);  // warm, not counted
        CALLGRIND_ZERO_STATS;
        CALLGRIND_TOGGLE_COLLECT;
        const PassTotals totals = Pass(driver, files);
        CALLGRIND_TOGGLE_COLLECT;
        CALLGRIND_DUMP_STATS_AT(driver.Label().c_str());
        std::printf("%s %llu\n", driver.Label().c_str(), static_cast<unsigned long long>(totals.files));
    }
}

// Runs this program again under callgrind and reads the instruction counts
// of its dumps.
int Callgrind(int argc, char** argv, std::vector<Driver>& drivers, size_t files) {
    const fs::path dumps = fs::temp_directory_path() / ("corvane-bench-callgrind-" + std::to_string(getpid()));
    fs::create_directories(dumps);
    std::vector<std::string> args = {"valgrind", "--tool=callgrind", "--collect-atstart=no",
                                     "--callgrind-out-file=" + (dumps / "cg").string(),
                                     fs::read_symlink("/proc/self/exe").string()};
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    std::vector<char*> pointers;
    for (std::string& arg : args) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    std::fprintf(stderr, "running under callgrind (a few minutes)...\n");
    pid_t child;
    if (posix_spawnp(&child, "valgrind", nullptr, nullptr, pointers.data(), environ) != 0) {
        std::fprintf(stderr, "corvane_bench: cannot run valgrind\n");
        return 1;
    }
    int status = 0;
    waitpid(child, &status, 0);

    std::map<std::string, double> perFile;
    for (const fs::directory_entry& dump : fs::directory_iterator(dumps)) {
        std::ifstream in(dump.path());
        std::string line, label;
        double instructions = 0;
        const std::string trigger = "desc: Trigger: Client Request: ";
        while (std::getline(in, line)) {
            if (line.rfind(trigger, 0) == 0) label = line.substr(trigger.size());
            if (line.rfind("summary: ", 0) == 0) instructions = std::atof(line.c_str() + 9);
        }
        for (const Driver& d : drivers) {
            if (d.Label() == label) perFile[label] = instructions / static_cast<double>(std::min(files, d.files->size()));
        }
    }
    fs::remove_all(dumps);
    if (perFile.size() != drivers.size()) {
        std::fprintf(stderr, "corvane_bench: callgrind gave %zu of %zu counts\n", perFile.size(), drivers.size());
        return 1;
    }
    std::printf("instructions per file (callgrind, first %zu files of each format):\n", files);
    PrintTable(drivers, perFile, "instr/file", false);
    return 0;
}

std::string OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path().string(); }

}  // namespace

int main(int argc, char** argv) {
    Settings settings;
    settings.pluginFolder = OwnFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--rounds" && hasValue) settings.rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--callgrind") settings.callgrind = true;
        else if (arg == "--files" && hasValue) settings.callgrindFiles = static_cast<size_t>(std::max(1, std::atoi(argv[++i])));
        else if (arg == "--plugins" && hasValue) settings.pluginFolder = argv[++i];
        else if (arg[0] != '-' && settings.corpusFolder.empty()) settings.corpusFolder = arg;
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (settings.corpusFolder.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const Corpus corpus = EnsureCorpus(settings.corpusFolder);
    std::unique_ptr<PluginLibrary> oggPlugin, flacPlugin;
    try {
        oggPlugin = std::make_unique<PluginLibrary>(settings.pluginFolder + "/OGG.cvx");
        flacPlugin = std::make_unique<PluginLibrary>(settings.pluginFolder + "/FLAC.cvx");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corvane_bench: cannot load a plug-in: %s\n", error.what());
        return 1;
    }
    const PluginLibrary& ogg = *oggPlugin;
    const PluginLibrary& flac = *flacPlugin;
    std::vector<Driver> drivers;
    drivers.push_back({"OGG", "plug-in", MakePluginReader(ogg), &corpus.oggFiles});
    drivers.push_back({"OGG", "floor", MakeVorbisFloorReader(), &corpus.oggFiles});
    drivers.push_back({"OGG", "TagLib", MakeTagLibReader(), &corpus.oggFiles});
    drivers.push_back({"FLAC", "plug-in", MakePluginReader(flac), &corpus.flacFiles});
    drivers.push_back({"FLAC", "floor", MakeFlacFloorReader(), &corpus.flacFiles});
    drivers.push_back({"FLAC", "TagLib", MakeTagLibReader(), &corpus.flacFiles});
    std::printf("corpus: %zu Ogg Vorbis and %zu FLAC files in %s\n", corpus.oggFiles.size(), corpus.flacFiles.size(),
                settings.corpusFolder.c_str());

    if (!settings.callgrind) {
        Time(drivers, settings.rounds);
        return 0;
    }
    if (RUNNING_ON_VALGRIND) {
        CountUnderCallgrind(drivers, settings.callgrindFiles);
        return 0;
    }
    return Callgrind(argc, argv, drivers, settings.callgrindFiles);
}
