// OGG.cvx driven as the host drives it: loaded with dlopen, entered through
// its exported functions, its objects used only through their virtual table.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/ogg_fixtures.h"
#include "tests/support/plugin_library.h"
#include "tests/support/temp_dir.h"

namespace {

class OggPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { plugin_ = new PluginLibrary(OGG_PLUGIN_PATH); }
    static void TearDownTestSuite() {
        delete plugin_;
        plugin_ = nullptr;
    }

    FileInfoPtr NewInfo() const {
        FileInfoPtr info = plugin_->CreateFileInfo(0);
        EXPECT_NE(info, nullptr);
        return info;
    }

    std::string WriteOgg(const std::string& name, const Bytes& bytes) const {
        const std::string path = dir_.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    std::string WriteTagged(const std::vector<std::string>& comments, double seconds = 1.0) const {
        VorbisStream stream;
        stream.seconds = seconds;
        stream.comments = comments;
        return WriteOgg("tagged.ogg", EncodeVorbis(stream));
    }

    Reading Read(const std::string& path) const { return OpenAndRead(*NewInfo(), path); }

    static PluginLibrary* plugin_;
    TempDir dir_;
};

PluginLibrary* OggPlugin::plugin_ = nullptr;

}  // namespace

TEST_F(OggPlugin, NamesOneExtension) {
    EXPECT_STREQ(plugin_->GetExtension(0), "OGG");
    EXPECT_EQ(plugin_->GetExtension(1), nullptr);
    EXPECT_EQ(plugin_->GetExtension(-1), nullptr);
}

TEST_F(OggPlugin, CreatesObjectsOnlyOfKindZero) {
    EXPECT_EQ(plugin_->CreateFileInfo(1), nullptr);
    EXPECT_EQ(plugin_->CreateFileInfo(-1), nullptr);
    FileInfoPtr info = NewInfo();
    const Reading fresh = ReadFields(*info);
    EXPECT_EQ(fresh.fileName, "");
    EXPECT_EQ(fresh.title, "");
    EXPECT_EQ(fresh.genre, "");
    EXPECT_EQ(fresh.fileSize, 0);
    EXPECT_EQ(fresh.length, 0);
    EXPECT_EQ(fresh.year, 0);
    EXPECT_EQ(fresh.track, 0);
}

// The host knows the operations only by their position in the table. Call
// them by position, on the platform's layout (two destructor entries first),
// and check each answers for its own field.
TEST_F(OggPlugin, OperationsSitInTheirFixedSlots) {
    const std::string path = WriteTagged({"TITLE=t", "ARTIST=ar", "ALBUM=alb", "COMMENT=comm",
                                          "GENRE=genre", "DATE=1999", "TRACKNUMBER=4"},
                                         61.0);
    FileInfo* info = plugin_->CreateFileInfo(0).release();
    ASSERT_NE(info, nullptr);
    void** table = *reinterpret_cast<void***>(info);
    constexpr int kFirstOperation = 2;  // after the complete and deleting destructors
    using OpenSlot = int32_t (*)(FileInfo*, const char*);
    using NumberSlot = int32_t (*)(FileInfo*);
    using TextSlot = int32_t (*)(FileInfo*, char*);
    auto number = [&](int slot) { return reinterpret_cast<NumberSlot>(table[kFirstOperation + slot - 1])(info); };
    auto text = [&](int slot) {
        char out[512];
        reinterpret_cast<TextSlot>(table[kFirstOperation + slot - 1])(info, out);
        return std::string(out);
    };

    EXPECT_EQ(reinterpret_cast<OpenSlot>(table[kFirstOperation])(info, path.c_str()), 0);
    EXPECT_EQ(number(2), static_cast<int32_t>(ReadBytes(path).size()));
    EXPECT_EQ(text(3), path);
    EXPECT_EQ(number(4), 61);
    EXPECT_EQ(text(5), "01:01");
    EXPECT_EQ(text(6), "t");
    EXPECT_EQ(text(7), "ar");
    EXPECT_EQ(text(8), "alb");
    EXPECT_EQ(text(9), "comm");
    EXPECT_EQ(text(10), "genre");
    EXPECT_EQ(number(11), 1999);
    EXPECT_EQ(number(12), 4);
    using DeletingDestructor = void (*)(FileInfo*);
    reinterpret_cast<DeletingDestructor>(table[1])(info);
}

TEST_F(OggPlugin, ReadsSizeLengthAndAllSevenValues) {
    const std::string path = WriteTagged({"TITLE=Song", "ARTIST=Band", "ALBUM=Gr\xC3\xBC\xC3\x9F" "e",
                                          "COMMENT=Live", "GENRE=Jazz", "DATE=2002-10-19",
                                          "TRACKNUMBER=07/12"},
                                         205.0);
    const Reading r = Read(path);
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.fileSize, static_cast<int32_t>(ReadBytes(path).size()));
    EXPECT_EQ(r.fileName, path);
    EXPECT_EQ(r.length, 205);
    EXPECT_EQ(r.lengthText, "03:25");
    EXPECT_EQ(r.title, "Song");
    EXPECT_EQ(r.artist, "Band");
    EXPECT_EQ(r.album, "Gr\xFC\xDF" "e");
    EXPECT_EQ(r.comment, "Live");
    EXPECT_EQ(r.genre, "Jazz");
    EXPECT_EQ(r.year, 2002);
    EXPECT_EQ(r.track, 7);
}

TEST_F(OggPlugin, MatchesNamesWithTheirEqualsSignIgnoringCase) {
    EXPECT_EQ(Read(WriteTagged({"title=Foo"})).title, "Foo");
    EXPECT_EQ(Read(WriteTagged({"Title=Foo"})).title, "Foo");
    EXPECT_EQ(Read(WriteTagged({"TITLE"})).title, "");
    EXPECT_EQ(Read(WriteTagged({"DATE2=1999"})).year, 0);
    EXPECT_EQ(Read(WriteTagged({"TITLES=x"})).title, "");
    EXPECT_EQ(Read(WriteTagged({"T\xC3\x8DTLE=x"})).title, "");
}

TEST_F(OggPlugin, TheLastCommentOfANameWins) {
    const Reading r = Read(WriteTagged({"ARTIST=First", "ARTIST=Second", "TITLE=Kept", "TITLE=",
                                        "DATE=1990", "DATE=1991"}));
    EXPECT_EQ(r.artist, "Second");
    EXPECT_EQ(r.title, "");  // an empty value empties the field
    EXPECT_EQ(r.year, 1991);
}

TEST_F(OggPlugin, LongValuesAreCutToTheField) {
    const Reading r = Read(WriteTagged({"COMMENT=" + std::string(600, 'c')}));
    EXPECT_EQ(r.comment, std::string(511, 'c'));
}

TEST_F(OggPlugin, LengthIsTruncatedAndOtherRatesWork) {
    VorbisStream stream;
    stream.seconds = 3.9;
    stream.sampleRateHz = 44100;
    stream.channels = 2;
    EXPECT_EQ(Read(WriteOgg("short.ogg", EncodeVorbis(stream))).length, 3);
}

TEST_F(OggPlugin, ChainedFileSumsLengthsAndReportsTheFirstStreamsTags) {
    const std::string path =
        WriteOgg("chained.ogg", ChainedOgg(60, 90, {"TITLE=One", "DATE=2001"}, {"TITLE=Two", "ARTIST=B"}));
    const Reading r = Read(path);
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 150);
    EXPECT_EQ(r.lengthText, "02:30");
    EXPECT_EQ(r.title, "One");
    EXPECT_EQ(r.artist, "");
    EXPECT_EQ(r.year, 2001);
}

TEST_F(OggPlugin, ReopeningResetsWhatTheNextFileLacks) {
    FileInfoPtr info = NewInfo();
    const std::string full = WriteOgg(
        "full.ogg", EncodeVorbis({8000, 1, 2.0, {"TITLE=A", "ARTIST=B", "DATE=1999", "TRACKNUMBER=3"}, 1}));
    const std::string bare = WriteOgg("bare.ogg", EncodeVorbis({8000, 1, 1.0, {}, 1}));
    ASSERT_EQ(info->Open(full.c_str()), 0);
    const Reading second = OpenAndRead(*info, bare);
    EXPECT_EQ(second.openResult, 0);
    EXPECT_EQ(second.fileName, bare);
    EXPECT_EQ(second.length, 1);
    EXPECT_EQ(second.title, "");
    EXPECT_EQ(second.artist, "");
    EXPECT_EQ(second.year, 0);
    EXPECT_EQ(second.track, 0);
}

TEST_F(OggPlugin, AFailedOpenUpdatesPathAndSizeAndKeepsTheRest) {
    FileInfoPtr info = NewInfo();
    const std::string good = WriteOgg("good.ogg", EncodeVorbis({8000, 1, 2.0, {"TITLE=Kept", "DATE=1999"}, 1}));
    const std::string garbage = dir_.File("garbage.ogg");
    WriteText(garbage, "this is no ogg file at all");
    ASSERT_EQ(info->Open(good.c_str()), 0);

    const Reading failed = OpenAndRead(*info, garbage);
    EXPECT_EQ(failed.openResult, 1);
    EXPECT_EQ(failed.fileName, garbage);
    EXPECT_EQ(failed.fileSize, 26);
    EXPECT_EQ(failed.title, "Kept");
    EXPECT_EQ(failed.length, 2);
    EXPECT_EQ(failed.year, 1999);

    const Reading missing = OpenAndRead(*info, dir_.File("missing.ogg"));
    EXPECT_EQ(missing.openResult, 1);
    EXPECT_EQ(missing.fileName, dir_.File("missing.ogg"));
    EXPECT_EQ(missing.fileSize, -1);
}

TEST_F(OggPlugin, APathTooLongForTheRecordIsRefusedUnopened) {
    FileInfoPtr info = NewInfo();
    const std::string good = WriteTagged({"TITLE=x"});
    ASSERT_EQ(info->Open(good.c_str()), 0);
    // A real file behind a 260-byte path: refused even though it exists.
    std::string longPath = dir_.path().string() + "/";
    longPath += std::string(260 - longPath.size(), 'n');
    WriteBytes(longPath, ReadBytes(good));
    const Reading r = OpenAndRead(*info, longPath);
    EXPECT_EQ(r.openResult, 1);
    EXPECT_EQ(r.fileName, "");
    EXPECT_EQ(r.fileSize, -1);
}

TEST_F(OggPlugin, BadInputGetsAPromptFailureAndLeaksNoDescriptor) {
    const std::string empty = dir_.File("empty.ogg");
    WriteText(empty, "");
    const std::string fifo = dir_.File("fifo.ogg");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir_.File("folder.ogg");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string other = WriteOgg("flac-in-ogg.ogg", OggOfAnotherCodec());
    const Bytes good = EncodeVorbis({8000, 1, 1.0, {"TITLE=x"}, 1});
    const std::string headOnly = WriteOgg("head.ogg", Bytes(good.begin(), good.begin() + 40));
    Bytes noSetup(good.begin(), good.begin() + static_cast<long>(OggPageOffsets(good)[1]));
    const std::string firstPageOnly = WriteOgg("first-page.ogg", noSetup);

    const int before = CountOpenDescriptors();
    FileInfoPtr info = NewInfo();
    for (const std::string& path : {empty, fifo, folder, other, headOnly, firstPageOnly,
                                    std::string("/dev/null"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(info->Open(path.c_str()), 1);
    }
    EXPECT_EQ(info->GetFileSize(), -1);  // /dev/zero has no size
    EXPECT_EQ(info->Open(nullptr), 1);
    EXPECT_EQ(CountOpenDescriptors(), before);
}
