#include "bench/corpus.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "tools/samples/flac_files.h"
#include "tools/samples/ogg_files.h"

namespace fs = std::filesystem;

namespace {

constexpr int kShortFilesPerFormat = 300;
constexpr int kLongFilesPerFormat = 3;
constexpr double kLongSeconds = 600;
constexpr long kSampleRateHz = 44100;
constexpr int kChannels = 2;
constexpr char kCompleteMarker[] = "complete-v1";

double ShortSeconds(int i) { return 20 + (i * 7) % 21; }

std::string Lyrics(int i) {
    std::string text;
    for (int line = 0; text.size() < 1024; ++line) {
        text += "Verse " + std::to_string(line) + " of song " + std::to_string(i) + ": la la la, über alles\n";
    }
    return text.substr(0, 1024);
}

std::vector<std::string> Tags(int i, bool withAlbum) {
    const std::string n = std::to_string(i);
    std::vector<std::string> tags = {
        "TITLE=Track " + n + " – Ünïcödé Title",
        "ARTIST=Artist " + std::to_string(i % 17) + " Ørsted",
        "DATE=" + std::to_string(1970 + i % 50) + "-0" + std::to_string(1 + i % 9) + "-1" + std::to_string(i % 10),
        "TRACKNUMBER=" + std::to_string(1 + i % 12) + "/12",
        "GENRE=Genre " + std::to_string(i % 7),
        "COMMENT=Encoded for the benchmark, file " + n,
        "REPLAYGAIN_TRACK_GAIN=-" + std::to_string(i % 10) + ".25 dB",
        "REPLAYGAIN_TRACK_PEAK=0.98" + std::to_string(i % 10),
        "REPLAYGAIN_ALBUM_GAIN=-7.10 dB",
        "REPLAYGAIN_ALBUM_PEAK=0.999",
        "LYRICS=" + Lyrics(i),
        "ENCODER=corvane bench",
    };
    if (withAlbum) tags.push_back("ALBUM=Album " + std::to_string(i % 23) + " – Café Society");
    return tags;
}

Bytes OggFile(int i, double seconds) {
    VorbisStream stream;
    stream.sampleRateHz = kSampleRateHz;
    stream.channels = kChannels;
    stream.seconds = seconds;
    stream.comments = Tags(i, true);
    stream.toneHz = 110 + i % 200;
    stream.quality = 0.3f;
    stream.serialNumber = 1000 + i;
    return EncodeVorbis(stream);
}

Bytes FlacFile(int i, double seconds) {
    const bool id3Instead = i % 10 == 0;
    FlacStream stream;
    stream.sampleRateHz = kSampleRateHz;
    stream.channels = kChannels;
    stream.totalSamples = static_cast<uint64_t>(seconds * kSampleRateHz);
    stream.comments = Tags(i, !id3Instead);
    stream.toneHz = 110 + i % 200;
    Bytes file = EncodeFlac(stream);
    if (!id3Instead) return file;
    Id3v1Fields id3;
    id3.title = "Track " + std::to_string(i);
    id3.artist = "Artist " + std::to_string(i % 17);
    id3.album = "Album " + std::to_string(i % 23);
    id3.year = std::to_string(1970 + i % 50);
    id3.comment = "ID3v1.1";
    id3.track = static_cast<uint8_t>(1 + i % 12);
    id3.genre = static_cast<uint8_t>(i % 148);
    return WithId3v1(std::move(file), Id3v1Tag(id3));
}

void Write(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string Name(const char* prefix, int i, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d.%s", prefix, i, extension);
    return name;
}

void Generate(const fs::path& folder) {
    fs::create_directories(folder / "ogg");
    fs::create_directories(folder / "flac");
    std::vector<std::function<void()>> jobs;
    for (int i = 0; i < kShortFilesPerFormat + kLongFilesPerFormat; ++i) {
        const bool isLong = i >= kShortFilesPerFormat;
        const double seconds = isLong ? kLongSeconds : ShortSeconds(i);
        const char* prefix = isLong ? "long-" : "track-";
        jobs.emplace_back([=] { Write(folder / "ogg" / Name(prefix, i, "ogg"), OggFile(i, seconds)); });
        jobs.emplace_back([=] { Write(folder / "flac" / Name(prefix, i, "flac"), FlacFile(i, seconds)); });
    }
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
        workers.emplace_back([&] {
            for (size_t j = next++; j < jobs.size(); j = next++) jobs[j]();
        });
    }
    for (std::thread& worker : workers) worker.join();
    std::ofstream(folder / kCompleteMarker) << "generated\n";
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

Corpus EnsureCorpus(const std::string& folder) {
    if (!fs::exists(fs::path(folder) / kCompleteMarker)) {
        std::fprintf(stderr, "writing the corpus to %s (once)...\n", folder.c_str());
        Generate(folder);
    }
    return {FilesIn(fs::path(folder) / "ogg"), FilesIn(fs::path(folder) / "flac")};
}
