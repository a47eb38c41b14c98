// corvane_bench: files per second and bytes read per file of each plug-in
// through its binary interface, of the bare library calls it was specified
// with, of the least input any reader needs, and of TagLib, on the two sets
// of a generated corpus; or, with --callgrind, instructions per file.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <valgrind/callgrind.h>

#include <corvane_plugins.h>

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
#include "bench/cvxscan_run.h"
#include "bench/readers.h"
#include "frame/platform/regular_file.h"
#include "ogg/vorbis_one_link.h"
#include "opus/opus_one_link.h"
#include "tools/samples/bytes.h"
#include "tools/samples/ogg_files.h"
#include "tools/host/bytes_read.h"

namespace cvx::bench {

using namespace cvx::host;
using namespace cvx::samples;

namespace fs = std::filesystem;

namespace {

const char kUsage[] =
    "usage: corvane_bench [--rounds N] [--callgrind [--files N] | --cvxscan [--scan-files N]] [--plugins DIR]\n"
    "                     CORPUS_DIR\n"
    "Writes the corpus into CORPUS_DIR when it is not there yet. Times every reader\n"
    "over each set in N alternating rounds (default 7) and prints medians and bytes\n"
    "read per file; with --callgrind, runs itself under valgrind and prints\n"
    "instructions per file over the first N files of each format and set\n"
    "(default 100). Last, or alone with --cvxscan, times cvxscan over a folder of\n"
    "N files of each format (default 2,000) against the plug-in driver over the\n"
    "same files.\n";

struct Settings {
    int rounds = 7;
    bool callgrind = false;
    bool cvxscanOnly = false;
    size_t scanFiles = 2000;
    size_t callgrindFiles = 100;
    std::string pluginFolder, corpusFolder;
};

struct Driver {
    std::string set, format, name;
    std::unique_ptr<Reader> reader;
    const std::vector<std::string>* files;
    std::string Label() const { return Of(name); }
    // The label of another reader of the same set and format.
    std::string Of(const std::string& readerName) const { return set + " " + format + " " + readerName; }
};

const char kPlugin[] = "plug-in", kCallFloor[] = "call floor", kIoFloor[] = "I/O floor", kTagLib[] = "TagLib";

// Each plug-in the build makes (corvane_plugins.h) and the bare library
// calls it was specified with, its call floor.
struct PluginFormat {
    const char* name;
    const char* word;
    std::unique_ptr<Reader> (*callFloor)();
};

std::unique_ptr<Reader> (*FloorOf(const char* name))() {
    const std::string plugin = name;
    if (plugin == "OGG") return MakeVorbisFloorReader;
    if (plugin == "FLAC") return MakeFlacFloorReader;
    if (plugin == "OPUS") return MakeOpusFloorReader;
    if (plugin == "M4A") return MakeMp4FloorReader;
    std::fprintf(stderr, "corvane_bench: no call floor for %s\n", name);
    std::exit(1);
}

#define CVX_PLUGIN_FORMAT(NAME, name, word, description, fileVersion) {name, word, FloorOf(name)},
const PluginFormat kPluginFormats[] = {CORVANE_PLUGINS(CVX_PLUGIN_FORMAT)};
#undef CVX_PLUGIN_FORMAT

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

// Prints one line per reader: the measure, and its ratio to the two floors
// and to TagLib of the same set and format. `higherIsBetter` turns the ratios
// so that above 1 always means better than the other.
void PrintTable(const std::vector<Driver>& drivers, const std::map<std::string, double>& measure, const char* unit,
                bool higherIsBetter) {
    std::printf("%-10s %-6s %-10s %14s %13s %12s %10s\n", "set", "format", "reader", unit, "vs call floor",
                "vs I/O floor", "vs TagLib");
    for (size_t i = 0; i < drivers.size(); ++i) {
        const Driver& d = drivers[i];
        if (i > 0 && d.set != drivers[i - 1].set) std::printf("\n");
        const double value = measure.at(d.Label());
        auto ratio = [&](const char* other) {
            const double theirs = measure.at(d.Of(other));
            return higherIsBetter ? value / theirs : theirs / value;
        };
        std::printf("%-10s %-6s %-10s %14.0f %12.2fx %11.2fx %9.2fx\n", d.set.c_str(), d.format.c_str(), d.name.c_str(),
                    value, ratio(kCallFloor), ratio(kIoFloor), ratio(kTagLib));
    }
}

void PrintTotals(const Driver& driver, const PassTotals& totals) {
    std::printf("  %-26s %5llu files, %llu failed, %llu s of audio, %llu text bytes\n", driver.Label().c_str(),
                static_cast<unsigned long long>(totals.files), static_cast<unsigned long long>(totals.failed),
                static_cast<unsigned long long>(totals.seconds), static_cast<unsigned long long>(totals.textBytes));
}

void Time(std::vector<Driver>& drivers, int rounds) {
    // The warm-up pass also counts the bytes each reader reads: they repeat
    // exactly from run to run, like instruction counts.
    std::printf("warm-up pass (also shows what each reader read):\n");
    std::map<std::string, double> bytesPerFile;
    for (Driver& driver : drivers) {
        const int64_t before = BytesReadSoFar();
        const PassTotals totals = Pass(driver, SIZE_MAX);
        bytesPerFile[driver.Label()] =
            static_cast<double>(BytesReadSoFar() - before) / static_cast<double>(std::max<uint64_t>(1, totals.files));
        PrintTotals(driver, totals);
    }

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
    std::printf("\nbytes read per file (read system calls, page cache included):\n");
    PrintTable(drivers, bytesPerFile, "bytes/file", false);
}

// The OGG plug-in on what follows a short clip (a download allocated to its
// full size and only partly written) and between two links of a chained
// file: zeros in which no page starts, through which libvorbisfile's own
// search is quadratic.
void TimePadding(const PluginLibrary& ogg, const std::string& corpusFolder) {
    const fs::path folder = fs::path(corpusFolder) / "padding";
    fs::create_directories(folder);
    const Bytes clip = EncodeVorbis(VorbisStream().Seconds(0.1).Comments({"TITLE=Partial"}));
    const Bytes link = EncodeVorbis(VorbisStream().Seconds(0.5).Comments({"TITLE=Link"}).Serial(2));
    std::printf("\nOGG plug-in past zeros (best of 3 opens; bytes read by one):\n");
    for (const int mebibytes : {32, 64}) {
        for (const bool between : {false, true}) {
            const Bytes zeros(static_cast<size_t>(mebibytes) << 20, 0);
            const Bytes bytes = between ? Concatenated({clip, zeros, link}) : Concatenated({clip, zeros});
            const fs::path path = folder / ((between ? "gap-" : "padding-") + std::to_string(mebibytes) + ".ogg");
            WriteBytes(path.string(), bytes);
            double best = 1e9;
            int64_t bytesRead = 0;
            for (int round = 0; round < 3; ++round) {
                const int64_t before = BytesReadSoFar();
                const auto start = std::chrono::steady_clock::now();
                ogg.CreateFileInfo(0)->Open(path.c_str());
                best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
                bytesRead = BytesReadSoFar() - before;
            }
            std::printf("  %3d MiB %-22s %8.4f s, %7.1f MiB read (%.1f times the file)\n", mebibytes,
                        between ? "between two links" : "after the last page", best,
                        static_cast<double>(bytesRead) / (1 << 20),
                        static_cast<double>(bytesRead) / static_cast<double>(bytes.size()));
        }
    }
}

// Under valgrind: one collected pass per reader, each dumped under its label.
void CountUnderCallgrind(std::vector<Driver>& drivers, size_t files) {
    for (Driver& driver : drivers) {
        Pass(driver, files);  // warm, not counted
        CALLGRIND_ZERO_STATS;
        CALLGRIND_TOGGLE_COLLECT;
        const PassTotals totals = Pass(driver, files);
        CALLGRIND_TOGGLE_COLLECT;
        // The request reads the text after the statement that names it.
        const std::string label = driver.Label();
        CALLGRIND_DUMP_STATS_AT(label.c_str());
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
    std::printf("instructions per file (callgrind, first %zu files of each format and set):\n", files);
    PrintTable(drivers, perFile, "instr/file", false);
    return 0;
}

// Which files of each set the Ogg readers answer by their one-link
// reading, and why they leave the others to the library.
void ReportOneLinkShares(const Corpus& corpus) {
    std::printf("\none-link readings (the rest go to the library as they are):\n");
    for (const FileSet& set : corpus.sets) {
        // The name of the road each file of the set with `word` takes.
        const auto roadsOf = [&set](const char* word, auto readOneLink) {
            std::map<std::string, int> roads;
            for (const std::string& path : set.Of(word)) {
                int64_t size = 0;
                const FilePtr file = OpenRegularFileForReading(path.c_str(), &size);
                ogg::FileWindows read(file.get(), size);
                TagRecord tags{};
                ++roads[readOneLink(read, tags)];
            }
            return roads;
        };
        const auto vorbis = roadsOf("ogg", [](ogg::FileWindows& read, TagRecord& tags) {
            double seconds = 0;
            return ogg::NameOf(ogg::ReadOneLinkVorbis(read, seconds, tags));
        });
        const auto opus = roadsOf("opus", [](ogg::FileWindows& read, TagRecord& tags) {
            int64_t samples = 0;
            return opus::NameOf(opus::ReadOneLinkOpus(read, samples, tags));
        });
        for (const auto& [format, roads] : {std::pair{"OGG", vorbis}, std::pair{"OPUS", opus}}) {
            if (roads.empty()) continue;
            std::printf("  %-10s %-5s", set.name.c_str(), format);
            for (const auto& [road, count] : roads) std::printf("  %s %d", road.c_str(), count);
            std::printf("\n");
        }
    }
}

std::string OwnFolder() { return fs::read_symlink("/proc/self/exe").parent_path().string(); }

}  // namespace

int Main(int argc, char** argv) {
    Settings settings;
    settings.pluginFolder = OwnFolder();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        const auto count = [&] { return static_cast<size_t>(std::max(1, std::atoi(argv[++i]))); };
        if (arg == "--rounds" && hasValue) settings.rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--callgrind") settings.callgrind = true;
        else if (arg == "--cvxscan") settings.cvxscanOnly = true;
        else if (arg == "--scan-files" && hasValue) settings.scanFiles = count();
        else if (arg == "--files" && hasValue) settings.callgrindFiles = count();
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
    // Every plug-in the build makes, each with the call floor of its format.
    std::map<std::string, std::unique_ptr<PluginLibrary>> plugins;
    try {
        for (const PluginFormat& format : kPluginFormats) {
            plugins[format.word] = std::make_unique<PluginLibrary>(settings.pluginFolder + "/" + format.name + ".cvx");
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "corvane_bench: cannot load a plug-in: %s\n", error.what());
        return 1;
    }
    std::vector<Driver> drivers;
    for (const FileSet& set : corpus.sets) {
        std::printf("%s set:", set.name.c_str());
        for (const PluginFormat& format : kPluginFormats) {
            const std::vector<std::string>& files = set.Of(format.word);
            if (files.empty()) continue;  // each set holds the formats it names
            std::printf(" %zu %s", files.size(), format.name);
            const PluginLibrary& plugin = *plugins.at(format.word);
            drivers.push_back({set.name, format.name, kPlugin, MakePluginReader(plugin), &files});
            drivers.push_back({set.name, format.name, kCallFloor, format.callFloor(), &files});
            drivers.push_back({set.name, format.name, kIoFloor, MakeIoFloorReader(), &files});
            drivers.push_back({set.name, format.name, kTagLib, MakeTagLibReader(), &files});
        }
        std::printf(" files\n");
    }
    std::printf("corpus in %s\n", settings.corpusFolder.c_str());

    if (!settings.callgrind) {
        if (!settings.cvxscanOnly) {
            ReportOneLinkShares(corpus);
            Time(drivers, settings.rounds);
            TimePadding(*plugins.at("ogg"), settings.corpusFolder);
        }
        const FileSet& plain = corpus.sets.front();
        const std::unique_ptr<Reader> flacDriver = MakePluginReader(*plugins.at("flac"));
        const std::unique_ptr<Reader> oggDriver = MakePluginReader(*plugins.at("ogg"));
        const CvxscanBench bench{settings.pluginFolder + "/cvxscan",
                                 settings.pluginFolder,
                                 settings.corpusFolder,
                                 settings.scanFiles,
                                 {{"flac", flacDriver.get(), &plain.Of("flac")}, {"ogg", oggDriver.get(), &plain.Of("ogg")}}};
        TimeCvxscan(bench, settings.rounds);
        return 0;
    }
    if (RUNNING_ON_VALGRIND) {
        CountUnderCallgrind(drivers, settings.callgrindFiles);
        return 0;
    }
    return Callgrind(argc, argv, drivers, settings.callgrindFiles);
}

}  // namespace cvx::bench

int main(int argc, char** argv) { return cvx::bench::Main(argc, argv); }
