// cvxscan end to end, on the sample library, with the built plug-ins.
#include <corvane_plugins.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "tests/support/formats.h"
#include "tests/support/reading_matchers.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"
#include "tools/cvxscan/fit_text.h"
#include "tools/cvxscan/record_fields.h"
#include "tools/cvxscan/utf8_text.h"
#include "tools/samples/flac_files.h"
#include "tools/samples/ogg_files.h"
#include "tools/samples/sample_library.h"

namespace cvx::testing {

using namespace cvx::flac;
using namespace cvx::host;
using namespace cvx::samples;
using namespace cvxscan;

namespace fs = std::filesystem;

namespace {

// What the catalogue must say of each readable sample, in scan order.
struct Expected {
    std::string path, plugin;
    Reading r;  // open result, size and file name aside
};

const std::string kLongTitle = [] {
    std::string title;
    while (title.size() < 511) title += "A very long title that goes on. ";
    return title.substr(0, 511);
}();

const std::vector<Expected> kCatalogue = {
    {"flac/01 Latin-1 letters.flac", "FLAC.cvx",
     ExpectedReading().Length(4, "00:04").Title("Grüße aus Köln").Artist("Zoë Fauré").Album("Çà et là")
         .Comment("Latin-1 letters").Genre("Chanson").Year(2002).Track(7)},
    {"flac/02 Euro sign.flac", "FLAC.cvx",
     ExpectedReading().Length(3, "00:03").Title("Price: 5 € only").Artist("Euro Sign").Album("Currencies")
         .Year(2001).Track(2)},
    {"flac/03 Cyrillic.flac", "FLAC.cvx",
     ExpectedReading().Length(5, "00:05").Title("???????").Artist("???").Album("??????? ?????").Year(1998).Track(3)},
    {"flac/04 Long title.flac", "FLAC.cvx",
     ExpectedReading().Length(3, "00:03").Title(kLongTitle).Artist("Patience").Album("Endurance").Year(2020).Track(4)},
    {"flac/05 Two artists.flac", "FLAC.cvx",
     ExpectedReading().Length(3, "00:03").Title("Duet").Artist("First Voice, Second Voice").Album("Together")
         .Year(2010).Track(5)},
    {"flac/06 Two comment blocks.flac", "FLAC.cvx",
     ExpectedReading().Length(3, "00:03").Title("Split").Artist("Block One, Block Two").Album("Two Blocks").Year(2011)
         .Track(6)},
    {"flac/07 ID3v1 fallback.flac", "FLAC.cvx",
     ExpectedReading().Length(3, "00:03").Title("Fallback Title").Artist("Tag Artist").Album("From the ID3v1 Tag")
         .Comment("ID3v1.1").Genre("Rock").Year(1999).Track(9)},
    // MP4 audio read as FLAC's, from TagLib's items; gnre named by its list.
    {"m4a/01 Latin-1 letters.m4a", "M4A.cvx",
     ExpectedReading().Length(4, "00:04").Title("Grüße aus Köln").Artist("Zoë Fauré").Album("Çà et là")
         .Comment("Latin-1 letters").Genre("Chanson").Year(2002).Track(7)},
    {"m4a/02 Euro sign.m4a", "M4A.cvx",
     ExpectedReading().Length(3, "00:03").Title("Price: 5 € only").Artist("Euro Sign").Album("Currencies")
         .Year(2001).Track(2)},
    {"m4a/03 Cyrillic.m4a", "M4A.cvx",
     ExpectedReading().Length(5, "00:05").Title("???????").Artist("???").Album("??????? ?????").Year(1998).Track(3)},
    {"m4a/04 Long title.m4a", "M4A.cvx",
     ExpectedReading().Length(3, "00:03").Title(kLongTitle).Artist("Patience").Album("Endurance").Year(2020).Track(4)},
    {"m4a/05 Two artists.m4a", "M4A.cvx",
     ExpectedReading().Length(3, "00:03").Title("Duet").Artist("First Voice, Second Voice").Album("Together")
         .Year(2010).Track(5)},
    {"m4a/06 Genre number and cover.m4a", "M4A.cvx",
     ExpectedReading().Length(3, "00:03").Title("Numbered Genre").Artist("Cover Artist").Genre("Rock").Year(2003)
         .Track(6)},
    {"ogg/01 Latin-1 letters.ogg", "OGG.cvx",
     ExpectedReading().Length(4, "00:04").Title("Grüße aus Köln").Artist("Zoë Fauré").Album("Çà et là")
         .Comment("Latin-1 letters").Genre("Chanson").Year(2002).Track(7)},
    {"ogg/02 Euro sign.ogg", "OGG.cvx",
     ExpectedReading().Length(3, "00:03").Title("Price: 5 ? only").Artist("Euro Sign").Album("Currencies").Year(2001)
         .Track(2)},
    {"ogg/03 Cyrillic.ogg", "OGG.cvx",
     ExpectedReading().Length(5, "00:05").Title("???????").Artist("???").Album("??????? ?????").Year(1998).Track(3)},
    {"ogg/04 Long title.ogg", "OGG.cvx",
     ExpectedReading().Length(3, "00:03").Title(kLongTitle).Artist("Patience").Album("Endurance").Year(2020).Track(4)},
    {"ogg/05 Two artists.ogg", "OGG.cvx",
     ExpectedReading().Length(3, "00:03").Title("Duet").Artist("Second Voice").Album("Together").Year(2010).Track(5)},
    {"ogg/06 Chained.ogg", "OGG.cvx",
     ExpectedReading().Length(7, "00:07").Title("First Link").Artist("Chain").Album("Links").Year(2005).Track(6)},
    // An Opus stream named .ogg, read as OPUS.cvx reads it.
    {"ogg/08 Opus named ogg.ogg", "OGG.cvx",
     ExpectedReading().Length(2, "00:02").Title("Opus in Ogg").Artist("Renamed").Album("Streams").Genre("Jazz")
         .Year(2019).Track(8)},
    // Opus files read as FLAC's: the code page has the euro sign, artists join.
    {"opus/01 Latin-1 letters.opus", "OPUS.cvx",
     ExpectedReading().Length(4, "00:04").Title("Grüße aus Köln").Artist("Zoë Fauré").Album("Çà et là")
         .Comment("Latin-1 letters").Genre("Chanson").Year(2002).Track(7)},
    {"opus/02 Euro sign.opus", "OPUS.cvx",
     ExpectedReading().Length(3, "00:03").Title("Price: 5 € only").Artist("Euro Sign").Album("Currencies")
         .Year(2001).Track(2)},
    {"opus/03 Cyrillic.opus", "OPUS.cvx",
     ExpectedReading().Length(5, "00:05").Title("???????").Artist("???").Album("??????? ?????").Year(1998).Track(3)},
    {"opus/04 Long title.opus", "OPUS.cvx",
     ExpectedReading().Length(3, "00:03").Title(kLongTitle).Artist("Patience").Album("Endurance").Year(2020).Track(4)},
    {"opus/05 Two artists.opus", "OPUS.cvx",
     ExpectedReading().Length(3, "00:03").Title("Duet").Artist("First Voice, Second Voice").Album("Together")
         .Year(2010).Track(5)},
    {"opus/06 Chained.opus", "OPUS.cvx",
     ExpectedReading().Length(7, "00:07").Title("First Link").Artist("Chain").Album("Links").Year(2005).Track(6)},
};
// The damaged samples, in scan order, as failure records.
const struct {
    const char* path;
    const char* plugin;
    const char* reason;
} kDamagedSamples[] = {{"m4a/07 Damaged.m4a", "M4A.cvx", "not a readable MP4 audio file"},
                       {"ogg/07 Damaged.ogg", "OGG.cvx", "not a readable Ogg Vorbis file"},
                       {"opus/07 Damaged.opus", "OPUS.cvx", "not a readable Ogg Opus file"}};
const char kDamaged[] = "ogg/07 Damaged.ogg";
const char kDamagedReason[] = "not a readable Ogg Vorbis file";

// The fields of a CSV failure record, and the JSON object of one.
std::vector<std::string> FailureFields(const std::string& path, const std::string& plugin, const std::string& reason) {
    std::vector<std::string> fields = {path, plugin};
    fields.resize(13);
    fields.push_back(reason);
    return fields;
}
std::string FailureObject(const std::string& path, const std::string& plugin, const std::string& reason) {
    return "{\"path\":\"" + path + "\",\"plugin\":\"" + plugin +
           "\",\"file_name\":\"\",\"size\":null,\"length\":null,\"length_text\":\"\",\"title\":\"\",\"artist\":\"\","
           "\"album\":\"\",\"comment\":\"\",\"genre\":\"\",\"year\":null,\"track\":null,\"failure\":\"" + reason + "\"}";
}

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

// The `width` display columns of `line` from column `start`, without the
// padding around them.
std::string Cell(const std::string& line, size_t start, size_t width) {
    std::string out;
    size_t column = 0;
    for (size_t i = 0; i < line.size();) {
        size_t length = 1;
        while (i + length < line.size() && (static_cast<unsigned char>(line[i + length]) & 0xC0) == 0x80) ++length;
        const std::string character = line.substr(i, length);
        if (column >= start && column < start + width) out += character;
        column += DisplayWidth(character);
        i += length;
    }
    const size_t first = out.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : out.substr(first, out.find_last_not_of(' ') - first + 1);
}

class CvxscanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        unsetenv("COLUMNS");  // a table without a terminal has no width to fit
        library_ = new TempDir;
        WriteSampleLibrary(library_->path().string());
        // The build may lie where an ordinary user cannot go (a clone under
        // /root): that user runs copies, from a folder of their own.
        unprivilegedCopies_ = new TempDir;
        std::vector<std::string> built = {CVXSCAN_PATH};
        for (const BuiltPlugin& plugin : BuiltPlugins()) built.push_back(plugin.path);
        for (const std::string& file : built) {
            fs::copy_file(file, unprivilegedCopies_->path() / fs::path(file).filename());
        }
        OpenUpForAnyone(unprivilegedCopies_->path());
    }
    static void TearDownTestSuite() {
        delete library_;
        delete unprivilegedCopies_;
    }

    static CommandResult Scan(std::vector<std::string> args, const std::string& cvxscan = CVXSCAN_PATH) {
        args.insert(args.begin(), cvxscan);
        return RunCommand(args);
    }
    // As an ordinary user, where permissions hold, with the copies of
    // cvxscan and the plug-ins; its stderr and status.
    static CommandResult ScanUnprivileged(const std::vector<std::string>& args) {
        TempDir report;
        OpenUpForAnyone(report.path());
        const std::string cvxscan = (unprivilegedCopies_->path() / fs::path(CVXSCAN_PATH).filename()).string();
        const int status = RunAsUnprivileged([&] {
            const CommandResult result = Scan(args, cvxscan);
            WriteText(report.File("err"), result.err);
            return result.status;
        });
        return {status, "", ReadText(report.File("err")), 0};
    }
    static std::string Library() { return library_->path().string(); }
    static std::string InLibrary(const std::string& relative) { return library_->File(relative); }
    static std::string SizeOf(const std::string& relative) {
        return std::to_string(fs::file_size(InLibrary(relative)));
    }

    static TempDir* library_;
    static TempDir* unprivilegedCopies_;
};
TempDir* CvxscanTest::library_ = nullptr;
TempDir* CvxscanTest::unprivilegedCopies_ = nullptr;

TEST_F(CvxscanTest, CsvHoldsEveryFieldOfEveryReadableFile) {
    const CommandResult result = Scan({"--format", "csv", Library()});
    EXPECT_EQ(result.status, 1);  // the damaged sample
    std::vector<std::string> records = Lines(result.out, "\r\n");
    ASSERT_EQ(records.size(), 1 + kCatalogue.size() + std::size(kDamagedSamples));
    EXPECT_EQ(records[0],
              "path,plugin,file_name,size,length,length_text,title,artist,album,comment,genre,year,track,failure");
    std::vector<std::vector<std::string>> read, failed;
    for (size_t i = 1; i < records.size(); ++i) {
        std::vector<std::string> fields = CsvFields(records[i]);
        (fields.back().empty() ? read : failed).push_back(std::move(fields));
    }
    ASSERT_EQ(read.size(), kCatalogue.size());
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const Expected& e = kCatalogue[i];
        const Reading& r = e.r;
        const std::vector<std::string> want = {InLibrary(e.path), e.plugin,     InLibrary(e.path), SizeOf(e.path),
                                               std::to_string(r.length), r.lengthText, r.title, r.artist, r.album,
                                               r.comment, r.genre, std::to_string(r.year), std::to_string(r.track), ""};
        EXPECT_EQ(read[i], want) << e.path;
    }
    ASSERT_EQ(failed.size(), std::size(kDamagedSamples));
    for (size_t i = 0; i < failed.size(); ++i) {
        const auto& d = kDamagedSamples[i];
        EXPECT_EQ(failed[i], FailureFields(InLibrary(d.path), d.plugin, d.reason));
    }
    // --bom: the same bytes after U+FEFF, for spreadsheets.
    EXPECT_EQ(Scan({"--format", "csv", "--bom", Library()}).out, "\xEF\xBB\xBF" + result.out);
}

// For a spreadsheet, no text cell starts a formula; plain CSV keeps every
// value as the plug-in gave it.
TEST_F(CvxscanTest, SpreadsheetCsvRunsNoValue) {
    TempDir dir;
    const std::vector<std::string> values = {"=HYPERLINK(\"http://example.com\",\"x\")", "+33 1 23", "-", "@SUM(A1)", "\tTab"};
    samples::WriteBytes(dir.File("formulas.ogg"),
                        samples::EncodeVorbis(samples::VorbisStream().Seconds(0.1).Comments(
                            {"TITLE=" + values[0], "ARTIST=" + values[1], "ALBUM=" + values[2], "COMMENT=" + values[3],
                             "GENRE=" + values[4]})));
    for (const bool forSpreadsheet : {false, true}) {
        std::vector<std::string> args = {"--format", "csv", dir.path().string()};
        if (forSpreadsheet) args.push_back("--bom");
        const std::vector<std::string> records = Lines(Scan(args).out, "\r\n");
        ASSERT_EQ(records.size(), 2u);
        const std::vector<std::string> fields = CsvFields(records[1]);
        for (size_t i = 0; i < values.size(); ++i) {
            EXPECT_EQ(fields[6 + i], (forSpreadsheet ? "'" : "") + values[i]) << i;
        }
    }
    // A spreadsheet's CSV is the default with --bom, on a terminal too.
    EXPECT_NE(RunOnTerminal({CVXSCAN_PATH, "--bom", dir.path().string()}, 80).out.find("'@SUM(A1)"), std::string::npos);
}

TEST_F(CvxscanTest, JsonIsOneObjectPerFile) {
    const CommandResult result = Scan({"--format=json", Library()});
    std::vector<std::string> lines;
    std::vector<std::string> failed;
    for (std::string& line : Lines(result.out)) {
        (line.find("\"failure\":\"\"}") == std::string::npos ? failed : lines).push_back(std::move(line));
    }
    ASSERT_EQ(lines.size(), kCatalogue.size());
    ASSERT_EQ(failed.size(), std::size(kDamagedSamples));
    for (size_t i = 0; i < failed.size(); ++i) {
        const auto& d = kDamagedSamples[i];
        EXPECT_EQ(failed[i], FailureObject(InLibrary(d.path), d.plugin, d.reason));
    }
    for (size_t i = 0; i < kCatalogue.size(); ++i) {
        const Expected& e = kCatalogue[i];
        const Reading& r = e.r;
        const std::string path = InLibrary(e.path);
        std::ostringstream want;
        want << "{\"path\":\"" << path << "\",\"plugin\":\"" << e.plugin << "\",\"file_name\":\"" << path
             << "\",\"size\":" << SizeOf(e.path) << ",\"length\":" << r.length << ",\"length_text\":\""
             << r.lengthText << "\",\"title\":\"" << r.title << "\",\"artist\":\"" << r.artist << "\",\"album\":\""
             << r.album << "\",\"comment\":\"" << r.comment << "\",\"genre\":\"" << r.genre
             << "\",\"year\":" << r.year << ",\"track\":" << r.track << ",\"failure\":\"\"}";
        EXPECT_EQ(lines[i], want.str());
    }
}

// Where each column starts and how wide it is, read from the rule under the
// headings.
std::vector<std::pair<size_t, size_t>> ColumnsOfRule(const std::string& rule) {
    std::vector<std::pair<size_t, size_t>> columns;
    for (size_t start = rule.find('-'); start != std::string::npos; start = rule.find('-', start)) {
        const size_t end = std::min(rule.find(' ', start), rule.size());
        columns.emplace_back(start, end - start);
        start = end;
    }
    return columns;
}

TEST_F(CvxscanTest, TableAlignsColumnsByCharacterNotByte) {
    const CommandResult result = Scan({"--format", "table", Library()});
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), kCatalogue.size() + 2);  // failures are left to stderr
    const auto columns = ColumnsOfRule(lines[1]);
    ASSERT_EQ(columns.size(), 9u);  // File Length Size Title Artist Album Year Track Genre
    const auto cell = [&](const std::string& line, size_t column) {
        return Cell(line, columns[column].first, columns[column].second);
    };
    EXPECT_EQ(cell(lines[0], 7), "Track");
    const std::string& latin1 = lines[2 + 7];  // ogg/01
    const std::vector<std::string> want = {InLibrary(kCatalogue[7].path), "00:04", SizeOf(kCatalogue[7].path),
                                           "Grüße aus Köln", "Zoë Fauré", "Çà et là", "2002", "7", "Chanson"};
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(cell(latin1, i), want[i]) << i;
    // Without a width to fit, paths stay whole and text columns stop at 40.
    EXPECT_EQ(cell(lines[2 + 10], 3), "A very long title that goes on. A very…");  // no blank before the cut
    EXPECT_EQ(cell(lines[2 + 1], 3), "Price: 5 € only");
}

// From 40 columns up, on a terminal or in COLUMNS: no line wraps, and rows
// of files whose paths differ only in a folder's words stay told apart: at
// 60 columns and up every one, at 40 as many as the width allows, the rest
// said on stderr.
TEST_F(CvxscanTest, TableFitsAnyWidthKeepingPathsApart) {
    TempDir dir;
    // One file under many names, as a library holds several editions of an
    // album: every row alike but for its path.
    const std::vector<std::string> albums = {
        "Music/The Beatles/Abbey Road (2009 Remaster)", "Music/The Beatles/Abbey Road (Super Deluxe Edition)",
        "Music/The Beatles/Let It Be (Remastered)", "Music/The Beatles/Let It Be... Naked",
        "Music/The Beatles Tribute Band/Abbey Road (2009 Remaster)", "short"};
    const std::vector<std::string> titles = {"01 Come Together - Remastered 2009", "02 Something - Remastered 2009",
                                             "17 Her Majesty - Remastered 2009", "01 Intro"};
    std::vector<std::string> named;
    for (const std::string& album : albums) {
        fs::create_directories(dir.File(album));
        for (const std::string& title : titles) {
            named.push_back(album + "/" + title + ".ogg");
            fs::create_hard_link(InLibrary("ogg/01 Latin-1 letters.ogg"), dir.File(named.back()));
        }
    }
    // The table's lines, each checked; how many files share a File cell.
    const auto check = [&](const std::string& shown, size_t columns, size_t& alike) {
        std::map<std::string, size_t> files;
        std::string table;
        for (const std::string& line : Lines(shown)) {
            if (line.empty() || line.rfind("cvxscan: ", 0) == 0) continue;  // the summary, on stderr
            table += line + "\n";
            EXPECT_LE(DisplayWidth(line), columns) << line;
            if (line.find("00:04") != std::string::npos) ++files[line.substr(0, line.find("  "))];
        }
        alike = 0;
        for (const auto& [cell, count] : files) alike += count > 1 ? count : 0;
        return table;
    };
    for (const unsigned short columns : {40, 60, 80, 120, 200}) {
        const CommandResult onTerminal = RunOnTerminal({CVXSCAN_PATH, dir.path().string()}, columns);
        size_t alike = 0;
        const std::string shown = check(std::regex_replace(onTerminal.out, std::regex("\r\n"), "\n"), columns, alike);
        if (columns >= 60) {
            EXPECT_EQ(alike, 0u) << columns << "\n" << shown;
        }
        const bool said = onTerminal.out.find(std::to_string(alike) + " files shown with a path like another's") !=
                          std::string::npos;
        EXPECT_EQ(said, alike > 0) << onTerminal.out;
        if (columns == 200) {
            EXPECT_NE(shown.find(dir.File(named[3])), std::string::npos);
        }
        if (columns == 40) {
            EXPECT_EQ(shown.find("Year"), std::string::npos);  // the least needed went first
            EXPECT_LE(alike, named.size() / 4) << shown;
        }
        setenv("COLUMNS", std::to_string(columns).c_str(), 1);
        const CommandResult piped = Scan({"--format", "table", dir.path().string()});
        unsetenv("COLUMNS");
        size_t pipedAlike = 0;
        EXPECT_EQ(check(piped.out, columns, pipedAlike), shown);
    }
}

// The sample library at each width: which columns stay, in which order
// they go (Genre, Size, Track, Year, Album, then Artist), and how far each
// narrows (text columns not below their least widths until File is at its
// own).
TEST_F(CvxscanTest, TableColumnsGoInTheirOrderAndKeepTheirLeastWidths) {
    const struct {
        int columns;
        std::string headings;
        std::vector<size_t> widths;
    } layouts[] = {
        {40, "File Length Title", {16, 6, 12}},
        {50, "File Length Title Artist", {19, 6, 12, 10}},
        {60, "File Length Title Artist", {28, 6, 12, 10}},
        {79, "File Length Title Artist Album Year Track", {28, 6, 12, 10, 8, 4, 5}},
        {100, "File Length Size Title Artist Album Year Track Genre", {28, 6, 6, 12, 10, 8, 4, 5, 5}},
    };
    for (const auto& layout : layouts) {
        setenv("COLUMNS", std::to_string(layout.columns).c_str(), 1);
        const std::vector<std::string> lines = Lines(Scan({"--format", "table", Library()}).out);
        unsetenv("COLUMNS");
        ASSERT_GT(lines.size(), 2u);
        EXPECT_EQ(std::regex_replace(lines[0], std::regex(" +"), " "), layout.headings) << layout.columns;
        std::vector<size_t> widths;
        for (const auto& column : ColumnsOfRule(lines[1])) widths.push_back(column.second);
        EXPECT_EQ(widths, layout.widths) << layout.columns;
    }
}

// The widths follow every row: a title, artist or size first met after
// hundreds of untagged small files is shown whole, as far as the width
// allows text, and a number never cut.
TEST_F(CvxscanTest, TableShowsValuesFirstMetLate) {
    TempDir dir;
    samples::WriteBytes(dir.File("a-000.ogg"), samples::EncodeVorbis(samples::VorbisStream().Seconds(0.1)));
    for (int i = 1; i < 210; ++i) {
        const std::string number = std::to_string(1000 + i).substr(1);
        fs::create_hard_link(dir.File("a-000.ogg"), dir.File("a-" + number + ".ogg"));
    }
    fs::copy_file(InLibrary("ogg/01 Latin-1 letters.ogg"), dir.File("z.ogg"));
    setenv("COLUMNS", "120", 1);
    const CommandResult result = Scan({"--format", "table", dir.path().string()});
    unsetenv("COLUMNS");
    const std::vector<std::string> lines = Lines(result.out);
    ASSERT_EQ(lines.size(), 213u);
    const auto columns = ColumnsOfRule(lines[1]);
    ASSERT_EQ(columns.size(), 9u);
    const std::vector<std::string> want = {"00:04", SizeOf("ogg/01 Latin-1 letters.ogg"), "Grüße aus Köln", "Zoë Fauré",
                                           "Çà et là", "2002", "7", "Chanson"};
    for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(Cell(lines[212], columns[i + 1].first, columns[i + 1].second), want[i]);
}

TEST_F(CvxscanTest, ReportsUnreadableFileAndGoesOn) {
    const CommandResult result = Scan({"--format", "json", Library()});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(InLibrary(kDamaged) + ": not a readable Ogg Vorbis file (OGG.cvx)\n"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("26 files read, 3 failed, 1 other file (1 .txt), playing time 0:01:37"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out.find("notes.txt"), std::string::npos);

    const CommandResult one = Scan({InLibrary("ogg/06 Chained.ogg")});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_NE(one.err.find("1 file read, 0 failed, 0 other files"), std::string::npos) << one.err;
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
    EXPECT_NE(broken.err.find("Broken.cvx: cannot be loaded: "), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("; name the plug-ins' folder with --plugins DIR"), std::string::npos) << broken.err;
    EXPECT_NE(broken.err.find("Broken.cvx"), broken.err.rfind("Broken.cvx"));  // dlerror names the file too

    // The versions are told all the same.
    const CommandResult versions = Scan({"--plugins", plugins.path().string(), "--version"});
    EXPECT_EQ(versions.status, 1);
    EXPECT_EQ(versions.out, "cvxscan " CORVANE_PRODUCT_VERSION "\nno plug-ins in " + plugins.path().string() + "\n");

    fs::copy_file(OGG_PLUGIN_PATH, plugins.File("OGG.cvx"));
    fs::copy_file(OGG_PLUGIN_PATH, plugins.File("OGG2.cvx"));
    const CommandResult partly = Scan({"--plugins", plugins.path().string(), "--format", "csv", Library()});
    EXPECT_EQ(partly.status, 1);
    EXPECT_NE(partly.err.find("cvxscan: OGG2.cvx also names OGG: OGG.cvx reads those files, as the first in sorted order\n"),
              std::string::npos)
        << partly.err;
    // The broken plug-in's record, the readable Ogg files (an Opus one
    // among them) and the damaged one.
    EXPECT_EQ(Lines(partly.out, "\r\n").size(), 1u + 1u + 7u + 1u);
    // Paths typed at a terminal: how to end them is said.
    EXPECT_NE(RunOnTerminal({CVXSCAN_PATH, "--plugins", plugins.path().string(), "-"}, 80, 0, "\x04")
                  .out.find("reading paths from standard input, one per line; end with Ctrl-D"),
              std::string::npos);
}

TEST_F(CvxscanTest, InstallRegistersEveryPlugin) {
    TempDir root;
    const fs::path formats = root.path() / "Plugins" / "Formats";
    fs::create_directories(formats);
    fs::copy_file(OGG_PLUGIN_PATH, formats / "OGG.cvx");
    fs::copy_file(FLAC_PLUGIN_PATH, formats / "FLAC.cvx");
    const std::string iniPath = root.File("plugin.ini");
    const CommandResult result = Scan({"--plugins", formats.string(), "--install"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "cvxscan: FLAC.cvx: " + iniPath + ": added\ncvxscan: OGG.cvx: " + iniPath + ": added\n");
    const std::string ini = ReadText(iniPath);
    EXPECT_NE(ini.find("FLAC, OGG"), std::string::npos) << ini;

    const CommandResult again = Scan({"--plugins", formats.string() + "/", "--install"});
    EXPECT_EQ(again.err, "cvxscan: FLAC.cvx: " + iniPath + ": already listed\ncvxscan: OGG.cvx: " + iniPath +
                             ": already listed\n");

    // Plug-ins outside a Plugins/Formats folder would register where
    // Corvane does not look: refused, unless forced.
    const fs::path elsewhere = root.path() / "Downloads" / "plug-ins";
    fs::create_directories(elsewhere);
    fs::copy_file(OGG_PLUGIN_PATH, elsewhere / "OGG.cvx");
    const std::string elsewhereIni = root.File("plugin.ini");
    fs::remove(elsewhereIni);
    const CommandResult unforced = Scan({"--plugins", elsewhere.string(), "--install"});
    EXPECT_EQ(unforced.status, 2);
    EXPECT_NE(unforced.err.find(elsewhere.string() + " is not a Plugins/Formats folder: the plug-ins would register in " +
                                elsewhereIni + ", which Corvane does not read"),
              std::string::npos)
        << unforced.err;
    EXPECT_FALSE(fs::exists(elsewhereIni));
    EXPECT_EQ(Scan({"--plugins", elsewhere.string(), "--install", "--force"}).status, 0);
    EXPECT_TRUE(fs::exists(elsewhereIni));

    // A folder nobody may write in: the reason, and status 1.
    fs::remove(iniPath);
    fs::permissions(root.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const CommandResult refused = ScanUnprivileged({"--plugins", formats.string(), "--install"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("OGG.cvx: " + iniPath + ": cannot be updated: " + root.path().string() +
                               ": Permission denied\n"),
              std::string::npos)
        << refused.err;
}

TEST_F(CvxscanTest, RefusesBadUsage) {
    const struct {
        std::vector<std::string> args;
        std::string message;
    } refusals[] = {{{}, "no PATH to scan"},
                    {{"--jobs", "0", Library()}, "--jobs needs a number from 1 to 256, not '0'"},
                    {{"--jobs", "257", Library()}, "--jobs needs a number from 1 to 256, not '257'"},
                    {{"--format", "xml", Library()}, "unknown format 'xml' (table, csv or json)"},
                    {{"--frobnicate", Library()}, "unknown option --frobnicate"},
                    {{"--sort=title", Library()}, "unknown option --sort"},
                    {{"-x", Library()}, "unknown option -x"},
                    {{"--install=yes"}, "--install takes no value"},
                    {{Library(), "--plugins"}, "--plugins needs a value"},
                    {{"--bom", "--format", "json", Library()}, "--bom is for CSV, not JSON"},
                    {{"--bom", "--format=table", Library()}, "--bom is for CSV, not the table"},
                    {{"-0", Library()}, "-0 is for lists of paths: give a list with --files-from LIST or -"},
                    {{"--force", Library()}, "--force is for --install"}};
    for (const auto& refusal : refusals) {
        const CommandResult result = Scan(refusal.args);
        EXPECT_EQ(result.status, 2);
        EXPECT_EQ(result.err, "cvxscan: " + refusal.message + " (try --help)\n");
    }
    // --help lists every option the parser takes, each with its value.
    const CommandResult help = Scan({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* line : {"\n  --plugins DIR ", "\n  --format FORMAT ", "\n  --bom ", "\n  --jobs N ",
                             "\n  --files-from LIST ", "\n  -0, --null ", "\n  --install ", "\n  --force ", "\n  --version ",
                             "\n  -h, --help ", "\n  -- "}) {
        EXPECT_NE(help.out.find(line), std::string::npos) << line;
    }
    // Values as --name=VALUE, options after the paths, and "--".
    EXPECT_EQ(Scan({InLibrary("flac"), "--format=csv", "--jobs=256", "--", InLibrary("ogg")}).out,
              Scan({"--format", "csv", InLibrary("flac"), InLibrary("ogg")}).out);
}

TEST_F(CvxscanTest, AWriteErrorIsNeverSuccess) {
    // More catalogue than stdio buffers before its first write fails, then a
    // damaged file: the scan ends at the failed write, before that file.
    TempDir many;
    for (int i = 0; i < 200; ++i) {
        fs::create_hard_link(InLibrary("ogg/01 Latin-1 letters.ogg"), many.File("a" + std::to_string(1000 + i) + ".ogg"));
    }
    fs::copy_file(InLibrary(kDamaged), many.File("z-damaged.ogg"));
    struct Case {
        std::vector<std::string> args;
        bool closed;  // stdout closed, else /dev/full
        const char* reason;
    };
    const Case cases[] = {{{"--format", "csv", Library()}, false, "No space left on device"},
                          {{"--format", "json", Library()}, true, "Bad file descriptor"},
                          {{"--format", "table", Library()}, false, "No space left on device"},
                          {{"--format", "csv", many.path().string()}, false, "No space left on device"},
                          {{"--help"}, false, "No space left on device"},
                          {{"--version"}, true, "Bad file descriptor"}};
    for (const Case& c : cases) {
        CommandStreams streams;
        streams.outputPath = "/dev/full";
        streams.closeOutput = c.closed;
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), CVXSCAN_PATH);
        const CommandResult result = RunCommand(args, streams);
        EXPECT_EQ(result.status, 3) << c.args[0] << "\n" << result.err;
        EXPECT_NE(result.err.find(std::string("cvxscan: write error: ") + c.reason + "\n"), std::string::npos)
            << result.err;
        EXPECT_EQ(result.err.find("files read"), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find("z-damaged"), std::string::npos) << result.err;
    }
}

// Each reason the host can tell for a file a plug-in refused.
TEST_F(CvxscanTest, EveryRefusalSaysWhy) {
    TempDir dir;
    const std::string folder = dir.path().string();
    fs::copy_file(InLibrary(kDamaged), dir.File("damaged.ogg"));
    WriteText(dir.File("empty.flac"), "");
    ASSERT_EQ(mkfifo(dir.File("fifo.ogg").c_str(), 0666), 0);
    fs::create_directory_symlink("nowhere", dir.File("dangling.ogg"));
    fs::create_symlink("loop.flac", dir.File("loop.flac"));
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File("secret.ogg"));
    fs::permissions(dir.File("secret.ogg"), fs::perms::owner_read);
    WriteText(dir.File("notes.txt"), "not audio");
    // A path the host's field cannot hold, which reads as a relative one.
    const std::string deep = std::string(120, 'd') + "/" + std::string(120, 'e');
    fs::create_directories(dir.File(deep));
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File(deep + "/long.ogg"));
    OpenUpForAnyone(dir.path());

    const CommandResult result = ScanUnprivileged({"--format", "csv", folder});
    EXPECT_EQ(result.status, 1);
    const struct {
        std::string file, reason;
    } refusals[] = {{"damaged.ogg", "not a readable Ogg Vorbis file (OGG.cvx)"},
                    {"empty.flac", "empty file (FLAC.cvx)"},
                    {"fifo.ogg", "not a regular file (OGG.cvx)"},
                    {"dangling.ogg", "no such file or folder (OGG.cvx)"},
                    {"loop.flac", "Too many levels of symbolic links (FLAC.cvx)"},
                    {"secret.ogg", "Permission denied (OGG.cvx)"},
                    {deep + "/long.ogg", "path longer than 259 bytes (the host's limit) (OGG.cvx)"}};
    for (const auto& refusal : refusals) {
        const std::string line = "cvxscan: " + dir.File(refusal.file) + ": " + refusal.reason + "\n";
        EXPECT_NE(result.err.find(line), std::string::npos) << line << result.err;
    }
    EXPECT_NE(result.err.find("0 files read, 7 failed, 1 other file"), std::string::npos) << result.err;

    CommandStreams relative;
    relative.workingFolder = folder;
    const CommandResult shorter = RunCommand({CVXSCAN_PATH, "--format", "csv", deep}, relative);
    EXPECT_EQ(shorter.status, 0) << shorter.err;
}

// Nothing the walk cannot enter goes by without a word and a status.
// Every kind of failure: a line on stderr with its reason, a record in CSV
// and JSON, and a count in the summary; a file named twice is read once.
TEST_F(CvxscanTest, EveryFailureIsALineARecordAndACount) {
    TempDir dir;
    const fs::path formats = dir.path() / "Plugins" / "Formats";
    fs::create_directories(formats);
    fs::copy_file(OGG_PLUGIN_PATH, formats / "OGG.cvx");
    WriteText((formats / "Broken.cvx").string(), "not a shared library");
    fs::create_directory(dir.File("plugin.ini"));  // where Install must write
    fs::create_directory(dir.File("music"));
    fs::copy_file(InLibrary(kDamaged), dir.File("music/damaged.ogg"));
    fs::create_symlink("nowhere.ogg", dir.File("music/dangling.ogg"));
    WriteText(dir.File("music/notes.txt"), "not audio");
    WriteText(dir.File("nul.list"), dir.File("music") + '\0');
    const std::string music = dir.File("music");
    const struct {
        std::string path, plugin, reason;
    } failures[] = {
        {(formats / "Broken.cvx").string(), "Broken.cvx", "cannot be loaded: "},
        {dir.File("plugin.ini"), "OGG.cvx", "cannot be updated: "},
        {dir.File("absent.list"), "", "no such file or folder"},
        {dir.File("nul.list"), "", "holds NUL bytes: to read paths ended by NUL, use -0 (--null)"},
        {dir.File("absent"), "", "no such file or folder"},
        {dir.File("music/damaged.ogg"), "OGG.cvx", kDamagedReason},
        {dir.File("music/dangling.ogg"), "OGG.cvx", "no such file or folder"},
    };
    for (const std::string format : {"csv", "json"}) {
        const CommandResult result =
            Scan({"--plugins", formats.string(), "--install", "--format", format, music, dir.File("absent"),
                  music + "/notes.txt", "--files-from", dir.File("absent.list"), "--files-from", dir.File("nul.list"),
                  music + "/dangling.ogg", music + "/../music/damaged.ogg"});
        EXPECT_EQ(result.status, 1);
        const std::vector<std::string> records = Lines(result.out, format == "csv" ? "\r\n" : "\n");
        ASSERT_EQ(records.size(), std::size(failures) + (format == "csv")) << result.out;
        for (size_t i = 0; i < std::size(failures); ++i) {
            const auto& f = failures[i];
            const std::string& record = records[i + (format == "csv")];
            if (format == "csv") {
                std::vector<std::string> fields = CsvFields(record);
                ASSERT_EQ(fields.size(), 14u);
                EXPECT_EQ(fields.back().substr(0, f.reason.size()), f.reason) << record;
                fields.back() = f.reason;
                EXPECT_EQ(fields, FailureFields(f.path, f.plugin, f.reason)) << record;
            } else {
                const std::string want = FailureObject(f.path, f.plugin, f.reason);
                EXPECT_EQ(record.substr(0, want.size() - 2), want.substr(0, want.size() - 2)) << record;
            }
            EXPECT_NE(result.err.find(": " + f.reason), std::string::npos) << f.reason;
        }
        // One line for each failure, each with its reason, and the summary.
        EXPECT_EQ(Lines(result.err).size(), std::size(failures) + 1) << result.err;
        // notes.txt, in the walk and named: one other file.
        EXPECT_NE(result.err.find("0 files read, 7 failed (2 files, 1 path, 2 lists, 1 plug-in, 1 installation), "
                                  "1 other file (1 .txt),"),
                  std::string::npos)
            << result.err;
    }
}

// A file is counted once however it is reached: named and walked, by a
// relative path and through its folder; a file no plug-in reads is an other
// file, named or walked, counted by its extension; a link to a folder is
// said to be left; doubled separators are made one.
TEST_F(CvxscanTest, EachFileCountsOnce) {
    TempDir dir;
    fs::create_directories(dir.File("music/sub"));
    fs::copy_file(InLibrary("ogg/01 Latin-1 letters.ogg"), dir.File("music/a.ogg"));
    for (const char* other : {"music/cover.jpg", "music/sub/back.JPG", "music/sub/notes"}) WriteText(dir.File(other), "x");
    fs::create_directory_symlink("sub", dir.File("music/link"));
    CommandStreams inDir;
    inDir.workingFolder = dir.path().string();
    const CommandResult result = RunCommand(
        {CVXSCAN_PATH, "--format", "csv", "music", "music/a.ogg", "music//sub", "music/cover.jpg", "music/link"}, inDir);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(Lines(result.out, "\r\n").size(), 2u) << result.out;
    EXPECT_EQ(result.out.find("//"), std::string::npos);
    EXPECT_NE(result.err.find("1 file read, 0 failed, 3 other files (2 .jpg, 1 without extension), 1 link to a folder "
                              "not followed, playing time"),
              std::string::npos)
        << result.err;
    // Nothing read, no rate.
    const CommandResult none = RunCommand({CVXSCAN_PATH, "music/cover.jpg"}, inDir);
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.err.find("files/s"), std::string::npos) << none.err;
}

// Each mistake with the list separator is named, with the option to use.
TEST_F(CvxscanTest, AListReadWithTheWrongSeparatorSaysWhichToUse) {
    const std::string files = InLibrary("flac") + '\n' + InLibrary("ogg") + '\n';
    for (const bool nul : {false, true}) {
        std::vector<std::string> args = {CVXSCAN_PATH, "--format", "csv", "-"};
        if (nul) args.push_back("-0");
        CommandStreams streams;
        streams.input = nul ? files : InLibrary("flac") + '\0' + InLibrary("ogg") + '\0';
        const CommandResult result = RunCommand(args, streams);
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find(nul ? "standard input: holds line ends but no NUL byte: to read one path per line, "
                                        "leave out -0 (--null)\n"
                                      : "standard input: holds NUL bytes: to read paths ended by NUL, use -0 (--null)\n"),
                  std::string::npos)
            << result.err;
    }
}

TEST_F(CvxscanTest, FoldersThatCannotBeWalkedAreReported) {
    TempDir dir;
    fs::create_directories(dir.File("closed/inner"));
    fs::create_directories(dir.File("listable/inner"));
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File("listable/inner/song.ogg"));
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File("open.ogg"));
    fs::permissions(dir.File("closed"), fs::perms::none);
    fs::permissions(dir.File("listable"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    OpenUpForAnyone(dir.path());
    // Deeper than the system's path limit: each level made from the one above.
    std::vector<int> levels = {open(dir.path().c_str(), O_RDONLY | O_DIRECTORY)};
    const std::string level(200, 'x');
    for (int i = 0; i < 22; ++i) {
        ASSERT_EQ(mkdirat(levels.back(), level.c_str(), 0755), 0);
        levels.push_back(openat(levels.back(), level.c_str(), O_RDONLY | O_DIRECTORY));
    }

    const CommandResult result = ScanUnprivileged({"--format", "csv", dir.path().string()});
    EXPECT_EQ(result.status, 1);
    for (const std::string& line : {dir.File("closed") + ": Permission denied\n",
                                    dir.File("listable/inner") + ": Permission denied\n",
                                    std::string(": File name too long\n")}) {
        EXPECT_NE(result.err.find(line), std::string::npos) << line << result.err;
    }
    EXPECT_NE(result.err.find("1 file read, 3 failed (3 folders)"), std::string::npos) << result.err;

    fs::permissions(dir.File("listable"), fs::perms::owner_all);
    for (size_t i = levels.size() - 1; i > 0; --i) {
        close(levels[i]);
        unlinkat(levels[i - 1], level.c_str(), AT_REMOVEDIR);
    }
    close(levels[0]);
}

TEST_F(CvxscanTest, PathsComeFromListsAsWell) {
    const std::string chained = InLibrary("ogg/06 Chained.ogg");
    const CommandResult direct = Scan({"--format", "csv", InLibrary("flac"), chained});
    struct Case {
        std::vector<std::string> args;
        std::string input;
    };
    TempDir dir;
    WriteText(dir.File("list"), InLibrary("flac") + "\r\n\n" + chained + "\n");
    const Case cases[] = {{{"-"}, InLibrary("flac") + "\n" + chained + "\n"},
                          {{"--files-from", dir.File("list")}, ""},
                          {{"-0", "--files-from=-"}, InLibrary("flac") + '\0' + chained + '\0'},
                          {{InLibrary("flac"), "-"}, chained}};
    for (const Case& c : cases) {
        std::vector<std::string> args = {CVXSCAN_PATH, "--format", "csv"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CommandStreams streams;
        streams.input = c.input;
        const CommandResult listed = RunCommand(args, streams);
        EXPECT_EQ(listed.status, direct.status) << c.args[0] << listed.err;
        EXPECT_EQ(listed.out, direct.out) << c.args[0];  // one header
    }
    const CommandResult missing = Scan({"--files-from", dir.File("absent")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find(dir.File("absent") + ": no such file or folder"), std::string::npos);
}

// The README names the catalogue's fields as the table every writer follows
// has them.
TEST(RecordFields, TheReadmeNamesThemInOrder) {
    std::ifstream readme(std::string(PROJECT_SOURCE_DIR) + "/README.md");
    const std::string text((std::istreambuf_iterator<char>(readme)), std::istreambuf_iterator<char>());
    const size_t start = text.find("JSON fields, in this order");
    ASSERT_NE(start, std::string::npos);
    const std::string sentence = text.substr(start, text.find('.', text.find("`failure`", start)) - start);
    std::vector<std::string> named;
    const std::regex field("`([a-z_]+)`");
    for (auto it = std::sregex_iterator(sentence.begin(), sentence.end(), field); it != std::sregex_iterator(); ++it) {
        named.push_back((*it)[1]);
    }
    named.erase(std::remove(named.begin(), named.end(), "GetFileName"), named.end());
    std::vector<std::string> fields;
    for (const cvxscan::RecordField& row : cvxscan::kRecordFields) fields.push_back(row.name);
    EXPECT_EQ(named, fields);
}

TEST_F(CvxscanTest, VersionNamesEveryPlugin) {
    const CommandResult result = Scan({"--version"});
    EXPECT_EQ(result.status, 0) << result.err;
    // The plug-ins in sorted order of their file names.
    std::vector<std::string> expected;
    for (const BuiltPlugin& plugin : BuiltPlugins()) {
        expected.push_back(plugin.name + ".cvx: " + plugin.description + ", version " CORVANE_PRODUCT_VERSION
                           " (file version " + plugin.fileVersion + "), extensions " + plugin.name);
    }
    std::sort(expected.begin(), expected.end());
    expected.insert(expected.begin(), "cvxscan " CORVANE_PRODUCT_VERSION);
    EXPECT_EQ(Lines(result.out), expected);
}

// A length past 2^31 seconds wraps negative in the plug-in's field: the row
// says so, the total leaves it out. Two lengths of 2^31 - 1 seconds do not
// wrap the total.
TEST_F(CvxscanTest, TheTotalLeavesOutNegativeLengthsAndNeverWraps) {
    TempDir dir;
    WriteBytes(dir.File("wrapped.flac"), AssembleFlac({StreamInfoBlock(1, 0x80000000ull)}));
    WriteBytes(dir.File("longest-1.flac"), AssembleFlac({StreamInfoBlock(1, 0x7FFFFFFFull)}));
    WriteBytes(dir.File("longest-2.flac"), AssembleFlac({StreamInfoBlock(1, 0x7FFFFFFFull)}));
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File("chained.ogg"));
    const CommandResult result = Scan({"--format", "csv", dir.path().string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(CsvFields(Lines(result.out, "\r\n")[4])[4], "-2147483648");
    // 2 * (2^31 - 1) + 7 seconds.
    EXPECT_NE(result.err.find("4 files read, 0 failed, 0 other files, playing time 1193046:28:21,"),
              std::string::npos)
        << result.err;
}

// The table on a terminal: fitted to its width, wide characters counted as
// two columns, the progress line erased before every line that follows it,
// and the failures' lines together before the table.
TEST_F(CvxscanTest, TableFitsTheTerminal) {
    TempDir dir;
    const std::string wideName = "日本語のタイトル";  // 16 columns
    fs::copy_file(InLibrary("ogg/06 Chained.ogg"), dir.File(wideName + ".ogg"));
    fs::copy_file(InLibrary("ogg/07 Damaged.ogg"), dir.File("damaged.ogg"));
    for (int i = 0; i < 2000; ++i) {
        fs::create_hard_link(dir.File(wideName + ".ogg"), dir.File("link-" + std::to_string(i) + ".ogg"));
        fs::create_hard_link(dir.File("damaged.ogg"), dir.File("damaged-" + std::to_string(i) + ".ogg"));
    }

    for (const unsigned short columns : {80, 120}) {
        // At 120 columns the test stops reading for a while, so that the
        // scan waits on the terminal, full of failures' lines, long enough
        // for its progress line.
        const int stall = columns == 120 ? 700 : 0;
        const CommandResult result = RunOnTerminal({CVXSCAN_PATH, dir.path().string()}, columns, stall);
        EXPECT_EQ(result.status, 1);
        std::string shown = result.out;
        // Every progress line is erased before anything follows it.
        const std::string erase = "\r\033[K";
        size_t drawn = 0;
        const std::string drawing = erase + "scanning ";
        for (size_t at = shown.find(drawing); at != std::string::npos; at = shown.find(drawing, at + 1)) {
            ++drawn;
            const size_t end = shown.find(" files", at) + 6;
            EXPECT_EQ(shown.compare(end, erase.size(), erase), 0) << shown.substr(at, 80);
        }
        if (columns == 120) {
            EXPECT_GT(drawn, 0u);  // the stall made the scan long
        }
        shown = std::regex_replace(shown, std::regex("\r\033\\[K(scanning [0-9]+/[0-9]+ files)?"), "");
        const std::vector<std::string> lines = Lines(shown, "\r\n");
        ASSERT_GT(lines.size(), 2000u);
        const auto heading = std::find_if(lines.begin(), lines.end(), [](const std::string& line) { return line.rfind("File", 0) == 0; });
        ASSERT_NE(heading, lines.end());
        const size_t lengthEnd = DisplayWidth(heading->substr(0, heading->find("Length") + 6));
        size_t rows = 0, failuresAfterRows = 0;
        for (const std::string& line : lines) {
            if (line.find("not a readable Ogg Vorbis file") != std::string::npos) failuresAfterRows += rows > 0;
            if (line.rfind("cvxscan:", 0) == 0 || line.empty()) continue;
            EXPECT_LE(DisplayWidth(line), columns) << line;
            if (line.find("00:07") == std::string::npos) continue;
            ++rows;
            EXPECT_EQ(Cell(line, lengthEnd - 5, 5), "00:07") << line;
        }
        EXPECT_EQ(rows, 2001u);
        EXPECT_EQ(failuresAfterRows, 0u);
        EXPECT_NE(shown.find("イトル.ogg "), std::string::npos);
    }
}

// What an Append conversion makes of `text` on its own.
std::string Converted(void (*append)(std::string&, const std::string&), const std::string& text) {
    std::string out;
    append(out, text);
    return out;
}
std::string Windows1252ToUtf8(const std::string& text) { return Converted(AppendWindows1252AsUtf8, text); }
std::string ValidUtf8(const std::string& text) { return Converted(AppendValidUtf8, text); }

TEST(CvxscanText, ShowsEightBitTextAndFileNamesAsUtf8) {
    EXPECT_EQ(Windows1252ToUtf8("\x80 \xE9 \x9F \x81"), "€ é Ÿ \xC2\x81");
    EXPECT_EQ(ValidUtf8("ok \xFF \xC3\xA9 \xE2\x82"), "ok \xEF\xBF\xBD é \xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(ValidUtf8("\xC0\x80 \xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(WithoutControls("a\tb\xC2\x9B" "c"), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD" "c");
    EXPECT_EQ(FitToWidth("Grüße", 5), "Grüße");
    EXPECT_EQ(FitToWidth("Grüße!", 5), "Grüß…");
    EXPECT_EQ(FitToWidth("/a/Grüße", 6, true), "…Grüße");
    // Paths keep their last folder and file name, and drop shared folders first.
    EXPECT_EQ(FitPathToWidth("music/taglib/empty.ogg", 22), "music/taglib/empty.ogg");
    EXPECT_EQ(FitPathToWidth("music/taglib/empty.ogg", 20), "mu…/taglib/empty.ogg");
    EXPECT_EQ(FitPathToWidth("music/taglib/empty.ogg", 12), "m…/empty.ogg");
    EXPECT_EQ(FitPathToWidth("music/taglib/empty.ogg", 8), "…pty.ogg");
    EXPECT_EQ(FitPathToWidth("/srv/music/a/b/x.ogg", 10, SharedFolderLength("/srv/music/a/", "/srv/music/c/")),
              "…a/b/x.ogg");
    EXPECT_EQ(FitPathToWidth("/srv/music/ab/c/x.ogg", 8, 11), "…/x.ogg");  // not "……/x.ogg"
    EXPECT_EQ(SharedFolderLength("/srv/music/ab/x", "/srv/music/ac/y"), 11u);
}

// Cut as a terminal shows the text: never half a wide character, a combining
// mark kept with its letter.
TEST(CvxscanText, FitsByDisplayColumns) {
    EXPECT_EQ(DisplayWidth("日本語"), 6u);
    EXPECT_EQ(DisplayWidth("cafe\u0301"), 4u);
    // From the Unicode data: a Devanagari mark, a zero-width joiner, emoji
    // and a fullwidth letter.
    EXPECT_EQ(DisplayWidth("\u0915\u094D\u200D"), 1u);
    EXPECT_EQ(DisplayWidth("\U0001F600\U0001FA90\u231A"), 6u);
    EXPECT_EQ(DisplayWidth("\uFF21\u00AD"), 3u);
    EXPECT_EQ(FitToWidth("日本語", 4), "日…");
    EXPECT_EQ(FitToWidth("/x/日本語", 5, true), "…本語");
    EXPECT_EQ(FitToWidth("cafe\u0301 noir", 5), "cafe\u0301…");
    EXPECT_EQ(FitToWidth("xya\u0301", 2, true), "…a\u0301");
    EXPECT_EQ(FitToWidth("xy日\u0301", 2, true), "…");  // no mark left on the ellipsis
}

}  // namespace

}  // namespace cvx::testing
