// cvxscan end to end, on the sample library, with the built plug-ins.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tools/cvxscan/text.h"
#include "tools/samples/sample_library.h"

namespace fs = std::filesystem;

namespace {

// What the catalogue must say of each readable sample, in scan order.
struct Expected {
    std::string path, plugin;
    int length;
    std::string lengthText, title, artist, album, comment, genre;
    int year, track;
};

const std::string kLongTitle = [] {
    std::string title;
    while (title.size() < 511) title += "A very long title that goes on. ";
    return title.substr(0, 511);
}();

const std::vector<Expected> kCatalogue = {
    {"flac/01 Latin-1 letters.flac", "FLAC.cvx", 4, "00:04", "Grüße aus Köln", "Zoë Fauré", "Çà et là",
     "Latin-1 letters", "Chanson", 2002, 7},
    {"flac/02 Euro sign.flac", "FLAC.cvx", 3, "00:03", "Price: 5 € only", "Euro Sign", "Currencies", "", "", 2001, 2},
    {"flac/03 Cyrillic.flac", "FLAC.cvx", 5, "00:05", "???????", "???", "??????? ?????", "", "", 1998, 3},
    {"flac/04 Long title.flac", "FLAC.cvx", 3, "00:03", kLongTitle, "Patience", "Endurance", "", "", 2020, 4},
    {"flac/05 Two artists.flac", "FLAC.cvx", 3, "00:03", "Duet", "First Voice, Second Voice", "Together", "", "",
     2010, 5},
    {"flac/06 Two comment blocks.flac", "FLAC.cvx", 3, "00:03", "Split", "Block One, Block Two", "Two Blocks", "",
     "", 2011, 6},
    {"flac/07 ID3v1 fallback.flac", "FLAC.cvx", 3, "00:03", "Fallback Title", "Tag Artist", "From the ID3v1 Tag",
     "ID3v1.1", "Rock", 1999, 9},
    {"ogg/01 Latin-1 letters.ogg", "OGG.cvx", 4, "00:04", "Grüße aus Köln", "Zoë Fauré", "Çà et là",
     "Latin-1 letters", "Chanson", 2002, 7},
    {"ogg/02 Euro sign.ogg", "OGG.cvx", 3, "00:03", "Price: 5 ? only", "Euro Sign", "Currencies", "", "", 2001, 2},
    {"ogg/03 Cyrillic.ogg", "OGG.cvx", 5, "00:05", "???????", "???", "??????? ?????", "", "", 1998, 3},
    {"ogg/04 Long title.ogg", "OGG.cvx", 3, "00:03", kLongTitle, "Patience", "Endurance", "", "", 2020, 4},
    {"ogg/05 Two artists.ogg", "OGG.cvx", 3, "00:03", "Duet", "Second Voice", "Together", "", "", 2010, 5},
    {"ogg/06 Chained.ogg", "OGG.cvx", 7, "00:07", "First Link", "Chain", "Links", "", "", 2005, 6},
};
const char kDamaged[] = "ogg/07 Damaged.ogg";

std::vector<std::string> Lines(const std::string& text, const std::string& end = "\n") {
    std::vector<std::string> lines;
    for (size_t start = 0, found; start < text.size(); start = found + end.size()) {
        found = text.find(end, start);
        if (found == std::string::npos) found = text.size();
        lines.push_back(text.substr(start, found - start));
    }
    return lines;
}

// One CSV record, RFC 4180 quoting undone.
std::vector<std::string> CsvFields(const std::string& record) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < record.size(); ++i) {
        const char c = record[i];
        if (quoted && c == '"' && i + 1 < record.size() && record[i + 1] == '"') fields.back() += record[++i];
        else if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) fields.emplace_back();
        else fields.back() += c;
    }
    return fields;
}

// The `width` characters of `line` from character `start`, without the
// padding around them.
std::string Cell(const std::string& line, size_t start, size_t width) {
    std::string out;
    size_t character = 0;
    for (size_t i = 0; i < line.size(); ++i) {
        const bool continuation = (static_cast<unsigned char>(line[i]) & 0xC0) == 0x80;
        if (!continuation && i > 0) ++character;
        if (character >= start && character < start + width) out += line[i];
    }
    const size_t first = out.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first, out.find_last_not_of(' ') - first + 1);
}

class CvxscanTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        library_ = new TempDir;
        WriteSampleLibrary(library_->path().string());
    }
    static void TearDownTestSuite() { delete library_; }

    static CommandResult Scan(std::vector<std::string> args) {
        args.insert(args.begin(), CVXSCAN_PATH);
        return RunCommand(args);
    }
    static std::string Library() { return library_->path().string(); }
    static std::string InLibrary(const std::string& relative) { return library_->File(relative); }
    static std::string SizeOf(const std::string& relative) { return std::to_string(fs::file_size(InLibrary(relative))); }

    static TempDir* library_;
};
TempDir* CvxscanTest::library_ = nullptr;

TEST_F(CvxscanTest, CsvHoldsEveryFieldOfEveryReadableFile) {
    const CommandResult result = Scan({"--format", "csv", Library()});
    EXPECT_EQ(result.status, 1);  // the damaged sample
    const std::vector<std::string> records = Lines(result.out, "\r\n");
    ASSERT_EQ(records.size(), kCatalogue.size() + 1);
    EXPECT_EQ(records[0], "path,plugin,file_name,size,length,length_text,title,artist,album,comment,genre,year,track");
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const Expected& e = kCatalogue[i];
        const std::vector<std::string> want = {InLibrary(e.path), e.plugin,     InLibrary(e.path), SizeOf(e.path),
                                               std::to_string(e.length), e.lengthText, e.title, e.artist, e.album,
                                               e.comment, e.genre, std::to_string(e.year), std::to_string(e.track)};
        EXPECT_EQ(CsvFields(records[i + 1]), want) << e.path;
    }
}

TEST_F(CvxscanTest, JsonIsOneObjectPerFile) {
    const CommandResult result = Scan({"--format=json", Library()});
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), kCatalogue.size());
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const Expected& e = kCatalogue[i];
        const std::string path = InLibrary(e.path);
        std::ostringstream want;
        want << "{\"path\":\"" << path << "\",\"plugin\":\"" << e.plugin << "\",\"file_name\":\"" << path
             << "\",\"size\":" << SizeOf(e.path) << ",\"length\":" << e.length << ",\"length_text\":\""
             << e.lengthText << "\",\"title\":\"" << e.title << "\",\"artist\":\"" << e.artist << "\",\"album\":\""
             << e.album << "\",\"comment\":\"" << e.comment << "\",\"genre\":\"" << e.genre
             << "\",\"year\":" << e.year << ",\"track\":" << e.track << "}";
        EXPECT_EQ(lines[i], want.str());
    }
}

TEST_F(CvxscanTest, TableAlignsColumnsByCharacterNotByte) {
    const CommandResult result = Scan({"--format", "table", Library()});
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), kCatalogue.size() + 2);
    // File 40, Length 8, Size 9, Title 28, Artist 20, Album 20, Year 4,
    // Track 5, Genre: each followed by two spaces.
    EXPECT_EQ(Cell(lines[0], 0, 40), "File");
    EXPECT_EQ(Cell(lines[0], 143, 5), "Track");
    const std::string& latin1 = lines[2 + 7];  // ogg/01
    EXPECT_EQ(Cell(latin1, 42, 8), "00:04");
    EXPECT_EQ(Cell(latin1, 52, 9), SizeOf(kCatalogue[7].path));
    EXPECT_EQ(Cell(latin1, 63, 28), "Grüße aus Köln");
    EXPECT_EQ(Cell(latin1, 93, 20), "Zoë Fauré");
    EXPECT_EQ(Cell(latin1, 115, 20), "Çà et là");
    EXPECT_EQ(Cell(latin1, 137, 4), "2002");
    EXPECT_EQ(Cell(latin1, 143, 5), "7");
    EXPECT_EQ(Cell(latin1, 150, 14), "Chanson");
    EXPECT_EQ(Cell(lines[2 + 10], 63, 28), "A very long title that goes…");
    EXPECT_EQ(Cell(lines[2 + 1], 63, 28), "Price: 5 € only");
    EXPECT_EQ(CharacterCount(Cell(lines[2], 0, 40)), 40u);  // path cut at its start
    EXPECT_EQ(Cell(lines[2], 0, 1), "…");
}

TEST_F(CvxscanTest, ReportsUnreadableFileAndGoesOn) {
    const CommandResult result = Scan({"--format", "json", Library()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(InLibrary(kDamaged) + ": OGG.cvx cannot read it"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("13 files read, 1 failed, playing time 0:00:49"), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("Damaged"), std::string::npos);
    EXPECT_EQ(result.out.find("notes.txt"), std::string::npos);

    const CommandResult one = Scan({InLibrary("ogg/06 Chained.ogg")});
    EXPECT_EQ(one.status, 0) << one.err;
}

TEST_F(CvxscanTest, SeveralJobsGiveTheSameCatalogue) {
    const CommandResult single = Scan({"--format", "json", "--jobs", "1", Library()});
    const CommandResult parallel = Scan({"--format", "json", "--jobs", "4", Library()});
    EXPECT_EQ(parallel.status, single.status);
    EXPECT_EQ(parallel.out, single.out);
}

TEST_F(CvxscanTest, MatchesExtensionsWithoutRegardToCase) {
    TempDir dir;
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File("LOUD.OGG"));
    fs::copy_file(InLibrary("flac/06 Two comment blocks.flac"), dir.File("mixed.FlAc"));
    const CommandResult result = Scan({"--format", "csv", dir.path().string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Lines(result.out, "\r\n").size(), 3u);
}

TEST_F(CvxscanTest, PluginProblemsAreNamed) {
    TempDir plugins;
    const CommandResult missing = Scan({"--plugins", plugins.File("absent"), Library()});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("no plug-in could be loaded from " + plugins.File("absent")), std::string::npos);

    WriteText(plugins.File("Broken.cvx"), "not a shared library");
    const CommandResult broken = Scan({"--plugins", plugins.path().string(), Library()});
    EXPECT_EQ(broken.status, 2);
    EXPECT_NE(broken.err.find("cannot load Broken.cvx: "), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("Broken.cvx"), broken.err.rfind("Broken.cvx"));  // dlerror names the file too

    fs::copy_file(OGG_PLUGIN_PATH, plugins.File("OGG.cvx"));
    const CommandResult partly = Scan({"--plugins", plugins.path().string(), "--format", "csv", Library()});
    EXPECT_EQ(partly.status, 1);
    EXPECT_EQ(Lines(partly.out, "\r\n").size(), 1u + 6u);  // the readable Ogg files only
}

TEST_F(CvxscanTest, InstallRegistersEveryPlugin) {
    TempDir root;
    const fs::path formats = root.path() / "Plugins" / "Formats";
    fs::create_directories(formats);
    fs::copy_file(OGG_PLUGIN_PATH, formats / "OGG.cvx");
    fs::copy_file(FLAC_PLUGIN_PATH, formats / "FLAC.cvx");
    const CommandResult result = Scan({"--plugins", formats.string(), "--install"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.err.find("OGG.cvx: Install succeeded"), std::string::npos) << result.err;
    const std::string ini = ReadText(root.File("plugin.ini"));
    EXPECT_NE(ini.find("FLAC, OGG"), std::string::npos) << ini;
}

TEST_F(CvxscanTest, RefusesBadUsage) {
    EXPECT_EQ(Scan({}).status, 2);
    EXPECT_EQ(Scan({"--jobs", "0", Library()}).status, 2);
    EXPECT_EQ(Scan({"--format", "xml", Library()}).status, 2);
    EXPECT_EQ(Scan({"--frobnicate", Library()}).status, 2);
    const CommandResult help = Scan({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--jobs N"), std::string::npos);
}

TEST(CvxscanText, ShowsEightBitTextAndFileNamesAsUtf8) {
    EXPECT_EQ(Windows1252ToUtf8("\x80 \xE9 \x9F \x81"), "€ é Ÿ \xC2\x81");
    EXPECT_EQ(ValidUtf8("ok \xFF \xC3\xA9 \xE2\x82"), "ok \xEF\xBF\xBD é \xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ValidUtf8("\xC0\x80 \xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(WithoutControls("a\tb\xC2\x9B" "c"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c");
    EXPECT_EQ(FitToWidth("Grüße", 5), "Grüße");
    EXPECT_EQ(FitToWidth("Grüße!", 5), "Grüß…");
    EXPECT_EQ(FitToWidth("/a/Grüße", 6, true), "…Grüße");
}

}  // namespace
