// Several threads, each with its own objects, read different files at once
// through each plug-in, and see what one thread alone sees. Run under
// ThreadSanitizer too, which would report any state the objects share.
#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_fixture.h"
#include "tests/support/run_command.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/opus_files.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;

namespace {

constexpr int kFiles = 8;
constexpr int kThreads = 4;
constexpr int kPasses = 5;

std::vector<std::string> Comments(int i) {
    const std::string n = std::to_string(i);
    return {"TITLE=Title " + n, "ARTIST=Gr\xC3\xBC\xC3\x9F" "e " + n, "ALBUM=Album " + n, "DATE=" + std::to_string(1990 + i),
            "TRACKNUMBER=" + n};
}

void ExpectSameReadingsFromThreads(PluginLibrary& plugin, const std::vector<std::string>& paths) {
    std::vector<Reading> alone;
    for (const std::string& path : paths) alone.push_back(OpenAndRead(*plugin.CreateFileInfo(0), path));

    std::mutex mutex;
    std::vector<std::string> mismatches;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int pass = 0; pass < kPasses; ++pass) {
                for (size_t k = 0; k < paths.size(); ++k) {
                    const size_t i = (k + static_cast<size_t>(t)) % paths.size();  // each thread its own order
                    const Reading reading = OpenAndRead(*plugin.CreateFileInfo(0), paths[i]);
                    if (!(reading == alone[i])) {
                        const std::lock_guard<std::mutex> lock(mutex);
                        mismatches.push_back(paths[i]);
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " readings differ, first " << mismatches.front();
}

class Concurrency : public ::testing::Test {
protected:
    std::string Write(const Bytes& bytes, const std::string& name) {
        WriteBytes(dir_.File(name), bytes);
        return dir_.File(name);
    }
    std::vector<std::string> WriteOggFiles();
    std::vector<std::string> WriteFlacFiles();
    std::vector<std::string> WriteOpusFiles();
    std::vector<std::string> WriteM4aFiles();
    TempDir dir_;
};

std::vector<std::string> Concurrency::WriteOggFiles() {
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        const VorbisStream stream = VorbisStream().Seconds(1.0 + i).Comments(Comments(i)).Serial(i + 1);
        paths.push_back(Write(EncodeVorbis(stream), std::to_string(i) + ".ogg"));
    }
    // Opus streams named .ogg, which OGG reads as OPUS does.
    for (int i = 0; i < 2; ++i) {
        const Bytes opus = EncodeOpus({OpusLink().Seconds(1.0 + i).Comments(Comments(i))}, static_cast<uint32_t>(i + 1));
        paths.push_back(Write(opus, "opus-" + std::to_string(i) + ".ogg"));
    }
    return paths;
}

std::vector<std::string> Concurrency::WriteFlacFiles() {
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        const FlacStream stream = FlacStream().Samples(8000u * (i + 1)).Comments(Comments(i));
        // Half of them lack ALBUM and carry an ID3v1 tag, so that path runs too.
        Bytes file = EncodeFlac(stream);
        if (i % 2 == 1) {
            FlacStream noAlbum = stream;
            noAlbum.comments.erase(noAlbum.comments.begin() + 2);
            const Id3v1Fields tag =
                Id3v1Fields().Title("Id3 " + std::to_string(i)).Artist("A").Album("B").Year("2001").Track(3).Genre(17);
            file = WithId3v1(EncodeFlac(noAlbum), Id3v1Tag(tag));
        }
        paths.push_back(Write(file, std::to_string(i) + ".flac"));
    }
    return paths;
}

std::vector<std::string> Concurrency::WriteOpusFiles() {
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        const Bytes file = EncodeOpus({OpusLink().Seconds(1.0 + i % 3).Comments(Comments(i))}, static_cast<uint32_t>(i + 1));
        paths.push_back(Write(file, std::to_string(i) + ".opus"));
    }
    return paths;
}

// Half of them built box by box, half encoded by ffmpeg, a cover in some.
std::vector<std::string> Concurrency::WriteM4aFiles() {
    std::vector<std::string> paths;
    for (int i = 0; i < kFiles; ++i) {
        std::vector<Mp4Item> items = Mp4ItemsFromComments(Comments(i));
        if (i % 3 == 0) items.push_back(Mp4Item::Cover(Bytes(3000, static_cast<uint8_t>(i))));
        const Bytes file = i % 2 == 0 ? BuildMp4(Mp4Layout().Seconds(1.0 + i).Items(items))
                                      : WithMp4Items(EncodeMp4(Mp4Audio().Seconds(1.0)), items);
        paths.push_back(Write(file, std::to_string(i) + ".m4a"));
    }
    return paths;
}

}  // namespace

TEST_F(Concurrency, OggThreadsReadWhatOneThreadReads) {
    ExpectSameReadingsFromThreads(LoadPluginOnce(OGG_PLUGIN_PATH), WriteOggFiles());
}

TEST_F(Concurrency, FlacThreadsReadWhatOneThreadReads) {
    ExpectSameReadingsFromThreads(LoadPluginOnce(FLAC_PLUGIN_PATH), WriteFlacFiles());
}

TEST_F(Concurrency, OpusThreadsReadWhatOneThreadReads) {
    ExpectSameReadingsFromThreads(LoadPluginOnce(OPUS_PLUGIN_PATH), WriteOpusFiles());
}

TEST_F(Concurrency, M4aThreadsReadWhatOneThreadReads) {
    ExpectSameReadingsFromThreads(LoadPluginOnce(M4A_PLUGIN_PATH), WriteM4aFiles());
}

// cvxscan's own threads, each with its own objects: the catalogue of four
// jobs is that of one.
TEST_F(Concurrency, CvxscanWithSeveralJobsWritesWhatOneJobWrites) {
    WriteOggFiles();
    WriteFlacFiles();
    const auto scan = [&](const char* jobs) {
        return RunCommand({CVXSCAN_PATH, "--format", "json", "--jobs", jobs, dir_.path().string()});
    };
    const CommandResult single = scan("1"), parallel = scan("4");
    EXPECT_EQ(single.status, 0) << single.err;
    EXPECT_EQ(parallel.status, single.status);
    EXPECT_EQ(parallel.out, single.out);
}

}  // namespace cvx::testing
