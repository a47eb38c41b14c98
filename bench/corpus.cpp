#include "bench/corpus.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <thread>

#include "tools/samples/bytes.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/ogg_files.h"
#include "tools/samples/opus_files.h"
#include "tools/samples/picture.h"

namespace cvx::bench {

using namespace cvx::flac;
using namespace cvx::samples;

namespace fs = std::filesystem;

namespace {

constexpr int kShortFilesPerFormat = 300;
constexpr int kLongFilesPerFormat = 3;
constexpr double kLongSeconds = 600;
constexpr long kSampleRateHz = 44100;
constexpr int kChannels = 2;
constexpr char kCompleteMarker[] = "complete-v4";  // v4: M4A files in the plain and cover-art sets
constexpr size_t kPaddingBytes = 8 * 1024;     // what the reference encoder leaves
constexpr size_t kBackCoverBytes = 1'000'000;

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

// A serial number drawn from all 32 bits, the same for `i` on every run:
// half of them have the top bit set.
uint32_t RandomSerial(int i) { return std::mt19937(static_cast<uint32_t>(i) * 40503u + 7u)(); }

Bytes OggFile(int i, double seconds, const std::vector<std::string>& moreComments = {}) {
    VorbisStream stream;
    stream.sampleRateHz = kSampleRateHz;
    stream.channels = kChannels;
    stream.seconds = seconds;
    stream.comments = Tags(i, true);
    stream.comments.insert(stream.comments.end(), moreComments.begin(), moreComments.end());
    stream.toneHz = 110 + i % 200;
    stream.quality = 0.3f;
    stream.serialNumber = RandomSerial(i);
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

// A size between `low` and `high` bytes, log-uniform, the same for `i` on
// every run.
size_t LogUniformBytes(int i, double low, double high) {
    std::mt19937 random(static_cast<uint32_t>(i) * 2654435761u);
    const double u = std::uniform_real_distribution<double>(0, 1)(random);
    return static_cast<size_t>(low * std::pow(high / low, u));
}

// Four files in five carry a front cover; every tenth file (one in eight of
// those) a back cover too; every file ends its metadata with padding.
Bytes CoverArtFlacFile(int i, double seconds) {
    std::vector<MetadataBlock> blocks;
    if (i % 5 != 0) {
        const size_t size = LogUniformBytes(i, 50e3, 3e6);
        blocks.push_back(PictureBlock(PictureBody(kFrontCover, JpegLikeBytes(size, static_cast<uint32_t>(i)))));
    }
    if (i % 10 == 1) {
        blocks.push_back(PictureBlock(PictureBody(kBackCover, JpegLikeBytes(kBackCoverBytes, ~static_cast<uint32_t>(i)))));
    }
    blocks.push_back(PaddingBlock(kPaddingBytes));
    return WithMetadataBlocks(FlacFile(i, seconds), blocks);
}

// Three Ogg files in ten carry a picture in their comment header.
Bytes CoverArtOggFile(int i, double seconds) {
    if (i % 10 >= 3) return OggFile(i, seconds);
    const size_t size = LogUniformBytes(i, 50e3, 500e3);
    return OggFile(i, seconds, {PictureComment(PictureBody(kFrontCover, JpegLikeBytes(size, static_cast<uint32_t>(i))))});
}

Bytes OpusFile(int i, double seconds, bool withPicture = false) {
    OpusLink link = OpusLink().Channels(kChannels).Seconds(seconds).Comments(Tags(i, true)).Tone(110 + i % 200);
    if (withPicture) link.Picture(JpegLikeBytes(LogUniformBytes(i, 50e3, 500e3), static_cast<uint32_t>(i)));
    return EncodeOpus({link}, RandomSerial(i));
}

// Three Opus files in ten carry a picture in their comment header.
Bytes CoverArtOpusFile(int i, double seconds) { return OpusFile(i, seconds, i % 10 < 3); }

// AAC and ALAC in turn. Encoding takes ffmpeg a while, so the audio comes
// from ten lengths a codec, each encoded once; the items are the file's own.
// ©lyr and ©too stand for the lyrics and encoder a tagger adds.
Bytes M4aFile(int i, bool withCover = false) {
    constexpr int kDistinctAudio = 10;
    const Mp4Audio audio = Mp4Audio()
                               .Codec(i % 2 == 0 ? "aac" : "alac")
                               .Channels(kChannels)
                               .Seconds(ShortSeconds(i % kDistinctAudio))
                               .Tone(110 + i % kDistinctAudio);
    std::vector<Mp4Item> items = Mp4ItemsFromComments(Tags(i, true));
    items.push_back(Mp4Item::Text("\251lyr", {Lyrics(i)}));
    items.push_back(Mp4Item::Text("\251too", {"corvane bench"}));
    if (withCover) items.push_back(Mp4Item::Cover(JpegLikeBytes(LogUniformBytes(i, 50e3, 500e3), static_cast<uint32_t>(i))));
    return WithMp4Items(EncodeMp4(audio), items);
}

// Three M4A files in ten carry a cover.
Bytes CoverArtM4aFile(int i) { return M4aFile(i, i % 10 < 3); }

void Write(const fs::path& path, const Bytes& bytes) { WriteBytes(path.string(), bytes); }

std::string Name(const char* prefix, int i, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%04d.%s", prefix, i, extension);
    return name;
}

void RunAll(const std::vector<std::function<void()>>& jobs) {
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
        workers.emplace_back([&] {
            for (size_t j = next++; j < jobs.size(); j = next++) jobs[j]();
        });
    }
    for (std::thread& worker : workers) worker.join();
}

void GeneratePlain(const fs::path& folder) {
    std::vector<std::function<void()>> jobs;
    for (int i = 0; i < kShortFilesPerFormat + kLongFilesPerFormat; ++i) {
        const bool isLong = i >= kShortFilesPerFormat;
        const double seconds = isLong ? kLongSeconds : ShortSeconds(i);
        const char* prefix = isLong ? "long-" : "track-";
        jobs.emplace_back([=] { Write(folder / "ogg" / Name(prefix, i, "ogg"), OggFile(i, seconds)); });
        jobs.emplace_back([=] { Write(folder / "flac" / Name(prefix, i, "flac"), FlacFile(i, seconds)); });
        if (!isLong) jobs.emplace_back([=] { Write(folder / "opus" / Name(prefix, i, "opus"), OpusFile(i, seconds)); });
        if (!isLong) jobs.emplace_back([=] { Write(folder / "m4a" / Name(prefix, i, "m4a"), M4aFile(i)); });
    }
    RunAll(jobs);
}

void GenerateCoverArt(const fs::path& folder) {
    std::vector<std::function<void()>> jobs;
    for (int i = 0; i < kShortFilesPerFormat; ++i) {
        jobs.emplace_back([=] { Write(folder / "ogg" / Name("track-", i, "ogg"), CoverArtOggFile(i, ShortSeconds(i))); });
        jobs.emplace_back(
            [=] { Write(folder / "flac" / Name("track-", i, "flac"), CoverArtFlacFile(i, ShortSeconds(i))); });
        jobs.emplace_back(
            [=] { Write(folder / "opus" / Name("track-", i, "opus"), CoverArtOpusFile(i, ShortSeconds(i))); });
        jobs.emplace_back([=] { Write(folder / "m4a" / Name("track-", i, "m4a"), CoverArtM4aFile(i)); });
    }
    RunAll(jobs);
}

// Chains of 10, 50 and 200 links of 20 s, each link encoded once.
void GenerateChained(const fs::path& folder) {
    constexpr int kLinkCounts[] = {10, 50, 200};
    constexpr double kLinkSeconds = 20;
    std::vector<Bytes> links(kLinkCounts[2]);
    std::vector<std::function<void()>> jobs;
    for (int i = 0; i < kLinkCounts[2]; ++i) {
        jobs.emplace_back([&links, i] { links[static_cast<size_t>(i)] = OggFile(5000 + i, kLinkSeconds); });
    }
    RunAll(jobs);
    for (const int count : kLinkCounts) {
        const std::vector<Bytes> chain(links.begin(), links.begin() + count);
        Write(folder / "ogg" / Name("chain-", count, "ogg"), Concatenated(chain));
    }
}

std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> files;
    if (!fs::exists(folder)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

FileSet EnsureSet(const fs::path& folder, const std::string& name, void (*generate)(const fs::path&)) {
    if (!fs::exists(folder / kCompleteMarker)) {
        std::fprintf(stderr, "writing the %s set to %s (once)...\n", name.c_str(), folder.c_str());
        fs::create_directories(folder / "ogg");
        fs::create_directories(folder / "flac");
        fs::create_directories(folder / "opus");
        fs::create_directories(folder / "m4a");
        generate(folder);
        std::ofstream(folder / kCompleteMarker) << "generated\n";
    }
    FileSet set{name, {}};
    for (const fs::directory_entry& format : fs::directory_iterator(folder)) {
        if (format.is_directory()) set.files[format.path().filename().string()] = FilesIn(format.path());
    }
    return set;
}

}  // namespace

Corpus EnsureCorpus(const std::string& folder) {
    Corpus corpus = {{EnsureSet(fs::path(folder) / "plain", "plain", GeneratePlain),
                      EnsureSet(fs::path(folder) / "cover-art", "cover art", GenerateCoverArt)}};
    // Each chain a set of its own, so that each gets its own figures.
    const FileSet chains = EnsureSet(fs::path(folder) / "chained", "chained", GenerateChained);
    for (const std::string& file : chains.Of("ogg")) {
        const std::string links = std::to_string(std::stoi(fs::path(file).stem().string().substr(6)));
        corpus.sets.push_back({links + " links", {{"ogg", {file}}}});
    }
    return corpus;
}

const std::vector<std::string>& FileSet::Of(const std::string& word) const {
    static const std::vector<std::string> kNone;
    const auto found = files.find(word);
    return found == files.end() ? kNone : found->second;
}

}  // namespace cvx::bench
