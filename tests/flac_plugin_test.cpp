// FLAC.cvx driven as the host drives it: loaded with dlopen, entered through
// its exported functions, its objects used only through their virtual table.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "tests/support/flac_fixtures.h"
#include "tests/support/plugin_library.h"
#include "tests/support/temp_dir.h"

namespace {

class FlacPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { plugin_ = new PluginLibrary(FLAC_PLUGIN_PATH); }
    static void TearDownTestSuite() {
        delete plugin_;
        plugin_ = nullptr;
    }

    FileInfoPtr NewInfo() const {
        FileInfoPtr info = plugin_->CreateFileInfo(0);
        EXPECT_NE(info, nullptr);
        return info;
    }

    std::string WriteFlac(const Bytes& bytes, const std::string& name = "file.flac") const {
        const std::string path = dir_.File(name);
        WriteBytes(path, bytes);
        return path;
    }

    Reading Read(const Bytes& bytes) const { return OpenAndRead(*NewInfo(), WriteFlac(bytes)); }

    static Bytes Tagged(const std::vector<std::string>& comments) {
        FlacStream stream;
        stream.comments = comments;
        return EncodeFlac(stream);
    }

    static PluginLibrary* plugin_;
    TempDir dir_;
};

PluginLibrary* FlacPlugin::plugin_ = nullptr;

const std::vector<std::string> kFullComment = {"TITLE=Vorbis title", "ARTIST=Vorbis artist",
                                               "ALBUM=Vorbis album"};

}  // namespace

TEST_F(FlacPlugin, NamesOneExtensionAndCreatesObjectsOfKindZero) {
    EXPECT_STREQ(plugin_->GetExtension(0), "FLAC");
    EXPECT_EQ(plugin_->GetExtension(1), nullptr);
    EXPECT_EQ(plugin_->GetExtension(-1), nullptr);
    EXPECT_EQ(plugin_->CreateFileInfo(1), nullptr);
    const Reading fresh = ReadFields(*NewInfo());
    EXPECT_EQ(fresh.title, "");
    EXPECT_EQ(fresh.fileName, "");
    EXPECT_EQ(fresh.fileSize, 0);
    EXPECT_EQ(fresh.length, 0);
}

TEST_F(FlacPlugin, ReadsSizeLengthAndAllSevenValues) {
    FlacStream stream;
    stream.sampleRateHz = 44100;
    stream.channels = 2;
    stream.totalSamples = 44100 * 205 + 100;
    stream.comments = {"TITLE=Song",   "ARTIST=Band",   "ALBUM=Gr\xC3\xBC\xC3\x9F" "e", "COMMENT=Live",
                       "GENRE=Jazz",   "DATE=2002-10-19", "TRACKNUMBER=07/12"};
    const Bytes bytes = EncodeFlac(stream);
    const std::string path = WriteFlac(bytes);
    const Reading r = OpenAndRead(*NewInfo(), path);
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.fileSize, static_cast<int32_t>(bytes.size()));
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

TEST_F(FlacPlugin, LengthIsTotalSamplesOverRateTruncated) {
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(8000, 80000)})).length, 10);
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(8000, 7999)})).length, 0);
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(0, 80000)})).length, 0);
    EXPECT_EQ(Read(AssembleFlac({StreamInfoBlock(1, 0xFFFFFFFFFull)})).length, -1);  // low 32 bits of 2^36 - 1
}

TEST_F(FlacPlugin, JoinsRepeatedNamesAndLetTheLastNumberWin) {
    const Reading r = Read(Tagged({"ARTIST=A", "ARTIST=B", "artist=C", "DATE=1990", "DATE=1991", "TRACKNUMBER=1",
                                   "TRACKNUMBER=2"}));
    EXPECT_EQ(r.artist, "A, B, C");
    EXPECT_EQ(r.year, 1991);
    EXPECT_EQ(r.track, 2);
}

TEST_F(FlacPlugin, SkipsEmptyValuesAndEntriesWithoutEquals) {
    const Reading r = Read(Tagged({"TITLE=Foo", "TITLE=", "TITLE", "TITLES=x", "=x", "ALBUM=Bar", "ARTIST=Baz"}));
    EXPECT_EQ(r.title, "Foo");
    EXPECT_EQ(r.album, "Bar");
}

TEST_F(FlacPlugin, WalksEveryCommentBlockInFileOrder) {
    const Reading r = Read(FlacWithTwoCommentBlocks({"ARTIST=First", "TITLE=T", "DATE=1990"},
                                                    {"ARTIST=Second", "ALBUM=Al", "DATE=2000"}));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.artist, "First, Second");
    EXPECT_EQ(r.title, "T");
    EXPECT_EQ(r.album, "Al");
    EXPECT_EQ(r.year, 2000);
}

TEST_F(FlacPlugin, ACompleteCommentIgnoresTheId3v1Tag) {
    const Reading r = Read(WithId3v1(Tagged(kFullComment), Id3v1Tag({"Id3 title", "Id3 artist", "Id3 album", "1977",
                                                                     "Id3 comment", 5, 17})));
    EXPECT_EQ(r.title, "Vorbis title");
    EXPECT_EQ(r.comment, "");
    EXPECT_EQ(r.year, 0);
    EXPECT_EQ(r.genre, "");
}

TEST_F(FlacPlugin, AMissingAlbumLetsTheId3v1TagReplaceEverything) {
    const Reading r = Read(WithId3v1(Tagged({"TITLE=Vorbis title", "ARTIST=Vorbis artist", "COMMENT=Vc",
                                             "GENRE=Vorbis genre", "DATE=1990", "TRACKNUMBER=4"}),
                                     Id3v1Tag({"Id3 title", "Id3 artist", "Id3 album", "1977", "Id3 comment", {}, 255})));
    EXPECT_EQ(r.title, "Id3 title");
    EXPECT_EQ(r.artist, "Id3 artist");
    EXPECT_EQ(r.album, "Id3 album");
    EXPECT_EQ(r.comment, "Id3 comment");
    EXPECT_EQ(r.year, 1977);
    EXPECT_EQ(r.genre, "");  // 255: no genre, over the Vorbis one
    EXPECT_EQ(r.track, 4);   // ID3v1.0 has none
}

TEST_F(FlacPlugin, Id3v1TextIsStoredUnconverted) {
    const Reading r = Read(WithId3v1(Tagged({}), Id3v1Tag({"Caf\xE9", "", "", "", "", 3, 0})));
    EXPECT_EQ(r.title, "Caf\xE9");
    EXPECT_EQ(r.track, 3);
    EXPECT_EQ(r.genre, "Blues");
}

TEST_F(FlacPlugin, AnId3v2TagInFrontIsSkipped) {
    const Reading r = Read(WithId3v2Prefix(Tagged(kFullComment)));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(r.title, "Vorbis title");
}

// libFLAC's decoder finds the stream behind leading junk, its metadata
// iterator does not: the Vorbis comment is out of reach, the ID3v1 tag is not.
TEST_F(FlacPlugin, UnreachableCommentBlocksFallBackToId3v1) {
    Bytes junkFirst(64, 0);
    const Bytes flac = Tagged(kFullComment);
    junkFirst.insert(junkFirst.end(), flac.begin(), flac.end());
    const Reading r = Read(WithId3v1(junkFirst, Id3v1Tag({"Id3 title", "", "", "1999", "", {}, 1})));
    EXPECT_EQ(r.openResult, 0);
    EXPECT_EQ(r.length, 1);
    EXPECT_EQ(r.title, "Id3 title");
    EXPECT_EQ(r.year, 1999);
}

TEST_F(FlacPlugin, NoStreamInformationMeansFailureEvenWithAnId3v1Tag) {
    const Reading r = Read(WithId3v1(Bytes(1000, 0x11), Id3v1Tag({"Id3 title", "", "", "1999", "", {}, 1})));
    EXPECT_EQ(r.openResult, 1);
    EXPECT_EQ(r.title, "");
    EXPECT_EQ(r.year, 0);
}

TEST_F(FlacPlugin, ReopeningResetsEveryField) {
    FileInfoPtr info = NewInfo();
    ASSERT_EQ(info->Open(WriteFlac(Tagged({"TITLE=A", "ARTIST=B", "ALBUM=C", "DATE=1999", "TRACKNUMBER=2"}),
                                   "first.flac")
                             .c_str()),
              0);
    const std::string bare = WriteFlac(EncodeFlac({8000, 1, 16000, {}}), "bare.flac");
    const Reading second = OpenAndRead(*info, bare);
    EXPECT_EQ(second.openResult, 0);
    EXPECT_EQ(second.fileName, bare);
    EXPECT_EQ(second.length, 2);
    EXPECT_EQ(second.title, "");
    EXPECT_EQ(second.artist, "");
    EXPECT_EQ(second.year, 0);
    EXPECT_EQ(second.track, 0);

    ASSERT_EQ(info->Open(WriteFlac(Tagged(kFullComment), "third.flac").c_str()), 0);
    const Reading failed = OpenAndRead(*info, WriteFlac(Bytes(50, 'x'), "garbage.flac"));
    EXPECT_EQ(failed.openResult, 1);
    EXPECT_EQ(failed.fileSize, 50);
    EXPECT_EQ(failed.title, "");
    EXPECT_EQ(failed.length, 0);
}

TEST_F(FlacPlugin, APathTooLongForTheRecordIsRefusedUnopened) {
    FileInfoPtr info = NewInfo();
    ASSERT_EQ(info->Open(WriteFlac(Tagged(kFullComment)).c_str()), 0);
    std::string longPath = dir_.path().string() + "/";
    longPath += std::string(260 - longPath.size(), 'n');
    WriteBytes(longPath, Tagged(kFullComment));
    const Reading r = OpenAndRead(*info, longPath);
    EXPECT_EQ(r.openResult, 1);
    EXPECT_EQ(r.fileName, "");
    EXPECT_EQ(r.fileSize, -1);
    EXPECT_EQ(r.title, "");
}

TEST_F(FlacPlugin, BadInputGetsAPromptFailureAndLeaksNoDescriptor) {
    const std::string empty = WriteFlac({}, "empty.flac");
    const std::string tiny = WriteFlac({'f', 'L', 'a', 'C'}, "tiny.flac");
    const std::string fifo = dir_.File("fifo.flac");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir_.File("folder.flac");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string text = WriteFlac(Bytes(5000, 'a'), "text.flac");

    const int before = CountOpenDescriptors();
    FileInfoPtr info = NewInfo();
    for (const std::string& path : {empty, tiny, fifo, folder, text, dir_.File("missing.flac"),
                                    std::string("/dev/null"), std::string("/dev/zero")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(info->Open(path.c_str()), 1);
    }
    EXPECT_EQ(info->Open(nullptr), 1);
    EXPECT_EQ(CountOpenDescriptors(), before);
}
