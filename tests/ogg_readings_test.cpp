// Ogg files with runs in which no page starts, between the links of a chain
// and after the last, and chains with damaged page headers, read by the OGG
// reader built with small read limits (ogg/read_limits.h), so that files of
// a few KiB take every road of ogg/vorbis_file.h. On each the reader must
// give libvorbisfile's own answer on the file as it is; it may refuse a
// file only where libvorbisfile's own reading of it passes the final
// budget.
//
// libvorbisfile 1.3.7 leaks inside a failing ov_open of some damaged chains:
// _bisect_forward_serialno returns early without freeing the serial-number
// list, vorbis_info and vorbis_comment of a later link, and nothing reaches
// the caller to free. This suite runs in an executable of its own that
// suppresses leaks under libvorbisfile only, and drives the reader
// directly, not through dlopen, so that the leak's frames keep their module
// name.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "frame/platform/regular_file.h"
#include "ogg/page_layout.h"
#include "ogg/read_limits.h"
#include "ogg/vorbis_file.h"
#include "ogg/vorbis_file_info.h"
#include "ogg/vorbis_one_link.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/one_link_roads.h"
#include "tests/support/prescribed_readers.h"
#include "tests/support/sanitizer_hooks.h"
#include "tests/support/temp_dir.h"

// The slow unwinder reaches libvorbisfile's frames beneath libvorbis'
// allocations, so the suppression can see them.
SANITIZER_HOOK const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }

namespace cvx::testing {

using ogg::VorbisReading;
using samples::Concatenated;
using samples::EncodeVorbis;
using samples::VorbisStream;

namespace {

// What fills a run.
enum class Filler {
    kZeros,
    kRandom,
    kCapturePatterns,  // random bytes strewn with "OggS", some followed by a version of 0
    kFailingPage,      // zeros around a real page whose checksum fails
    kStrayPage,        // zeros around a real page of another serial number
    kCutPage,          // a real page cut short, then zeros
};
constexpr const char* kFillerNames[] = {"zeros", "random bytes", "capture patterns", "a page failing its checksum",
                                        "a stray page", "a page cut short"};

// The serial numbers an encoder may draw, the top bit set or not.
constexpr uint32_t kSerials[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};

Bytes Link(int index, double seconds, uint32_t serial) {
    return EncodeVorbis(VorbisStream().Seconds(seconds).Comments({"TITLE=Link " + std::to_string(index)}).Serial(serial));
}

Bytes Run(Filler filler, size_t length, uint32_t seed, const Bytes& otherLink) {
    std::mt19937 random(seed);
    Bytes run(length, 0);
    if (filler == Filler::kRandom || filler == Filler::kCapturePatterns) {
        for (uint8_t& byte : run) byte = static_cast<uint8_t>(random());
    }
    if (filler == Filler::kCapturePatterns) {
        for (size_t at = 0; at + ogg::kOggPageHeaderSize <= length; at += 61 + random() % 64) {
            std::copy_n(ogg::kOggCapturePattern, ogg::kOggCaptureSize, run.begin() + static_cast<long>(at));
            if (random() % 2) run[at + ogg::kOggVersionOffset] = 0;
        }
    }
    Bytes page = OggPage(otherLink, 2);  // an audio page
    if (filler == Filler::kFailingPage) page[page.size() / 2] ^= 0x40;
    if (filler == Filler::kStrayPage) page = FlipInsidePage(page, ogg::kOggSerialOffset, 0x5A);  // checksum redone
    if (filler == Filler::kCutPage) {
        page.resize(page.size() / 2);
        run.insert(run.begin(), page.begin(), page.end());
    } else if (filler == Filler::kFailingPage || filler == Filler::kStrayPage) {
        run.insert(run.begin() + static_cast<long>(length / 2), page.begin(), page.end());
    }
    return run;
}

struct Case {
    std::string what;
    Bytes file;
};

std::vector<Case> GeneratedCases() {
    std::vector<Case> cases;
    const size_t shortest = static_cast<size_t>(ogg::kShortestHiddenRun);
    uint32_t seed = 1;
    size_t serialIndex = 0;
    for (const Filler filler : {Filler::kZeros, Filler::kRandom, Filler::kCapturePatterns, Filler::kFailingPage,
                                Filler::kStrayPage, Filler::kCutPage}) {
        for (const size_t length : {shortest - 1, shortest, shortest + 1, size_t{700}, size_t{5000}, size_t{10000}}) {
            const uint32_t serial = kSerials[serialIndex++ % std::size(kSerials)];
            // Links whose whole seconds change when any one of them is lost.
            const Bytes one = Link(1, 1.2, serial), two = Link(2, 1.4, serial + 1), three = Link(3, 1.1, serial + 2);
            const std::string what = std::string(kFillerNames[static_cast<int>(filler)]) + ", " +
                                     std::to_string(length) + " bytes, serial " + std::to_string(serial) + ": ";
            const auto run = [&] { return Run(filler, length, seed++, three); };
            cases.push_back({what + "after the only link", Concatenated({one, run()})});
            cases.push_back({what + "between two links", Concatenated({one, run(), two})});
            cases.push_back({what + "after the last link", Concatenated({one, two, run()})});
            cases.push_back({what + "between each of three links", Concatenated({one, run(), two, run(), three})});
        }
    }
    for (const uint32_t serial : kSerials) cases.push_back({"one link, serial " + std::to_string(serial), Link(1, 1.0, serial)});
    // Short links cost libvorbisfile more than any small budget allows.
    std::vector<Bytes> shortLinks;
    for (int i = 0; i < 8; ++i) shortLinks.push_back(Link(i, 0.05, static_cast<uint32_t>(i)));
    cases.push_back({"eight short links", Concatenated(shortLinks)});
    return cases;
}

// A link whose last page holds seconds of sound, then a run shorter than the
// shortest hidden one holding a capture pattern whose header runs on into
// the last page and declares past its end, then zeros reaching a little past
// what it declares.
Case DeclaringPastTheLastPage() {
    const size_t shortest = static_cast<size_t>(ogg::kShortestHiddenRun);
    // Serial numbers whose low byte, read as a segment count, is the largest.
    for (uint32_t serial = 0xFFFFFFFF; serial > 0xFFFFC0FF; serial -= 0x100) {
        const Bytes link = EncodeVorbis(VorbisStream().Seconds(6.0).Tone(330).Comments({"TITLE=One"}).Serial(serial));
        const size_t last = OggPageOffsets(link).back();
        const Bytes lastPage(link.begin() + static_cast<long>(last), link.end());
        // Its header type a zero of its own: a pattern that looks like a
        // stream's beginning keeps libvorbisfile from being stopped.
        for (size_t run = ogg::kOggHeaderTypeOffset + 1; run < shortest; ++run) {
            // The pattern's header: "OggS", zeros, then the last page's bytes.
            Bytes header(ogg::kOggCapturePattern, ogg::kOggCapturePattern + ogg::kOggCaptureSize);
            header.resize(run, 0);
            header.insert(header.end(), lastPage.begin(), lastPage.end());
            const size_t segments = header[ogg::kOggSegmentCountOffset];
            size_t declared = ogg::kOggPageHeaderSize + segments;
            for (size_t i = 0; i < segments; ++i) {
                const size_t at = ogg::kOggPageHeaderSize + i;
                declared += at < header.size() ? header[at] : 0;
            }
            if (declared <= run + lastPage.size() + 5000) continue;  // not past the last page by enough
            const size_t zeros = declared - run - lastPage.size() + 100;
            Bytes pattern(header.begin(), header.begin() + static_cast<long>(run));
            return {"a pattern in a run of " + std::to_string(run) + " bytes declaring " + std::to_string(declared) +
                        " bytes past the last page",
                    Concatenated({Bytes(link.begin(), link.begin() + static_cast<long>(last)), pattern, lastPage,
                                  Bytes(zeros, 0)})};
        }
    }
    ADD_FAILURE() << "no serial number makes a pattern that declares past the last page";
    return {"none", {}};
}

// Files where a view that hid a little more would change libvorbisfile's
// answer. Each is one link, so that libvorbisfile may be stopped and the
// view is taken.
std::vector<Case> CasesAtTheEdgeOfWhatMayBeHidden() {
    // Pages of audio libvorbisfile does not read, so that its reading stays
    // within the final budget.
    const Bytes link = EncodeVorbis(VorbisStream().Seconds(20.0).Tone(220).Comments({"TITLE=One"}));
    const std::vector<size_t> pages = OggPageOffsets(link);
    const auto lastPage = link.begin() + static_cast<long>(pages.back());
    const auto firstPageEnd = link.begin() + static_cast<long>(pages.at(1));
    const Bytes allButTheLastPage(link.begin(), lastPage), theLastPage(lastPage, link.end());
    std::vector<Case> cases;
    // Bytes that begin like the longest page, before the last page: that
    // page is found only while every byte they declare is, so the file ends
    // 100 bytes past them (within CHUNKSIZE of the last page, so that
    // nothing else keeps those bytes in view), or before them.
    const size_t declaredAfter = ogg::kOggLongestPage - CaptureWithoutPage(255).size() - theLastPage.size();
    for (const size_t zeros : {declaredAfter + 100, declaredAfter - 100}) {
        cases.push_back({"the longest page begun before the last page, then " + std::to_string(zeros) + " zeros",
                         Concatenated({allButTheLastPage, Bytes(1000, 0), CaptureWithoutPage(255), theLastPage,
                                       Bytes(zeros, 0)})});
    }
    // The same cut short, in a run before the last page: nothing after them
    // is searched.
    cases.push_back({"the longest page begun and cut short in a run before the last page",
                     Concatenated({allButTheLastPage, Bytes(700, 0), CaptureWithoutPage(255), theLastPage})});
    // A capture pattern in a run too short to hide, its header made of the
    // next page's bytes, declaring past that page, which is the last: the
    // zeros after it may be hidden only from where its declared bytes end,
    // or libvorbisfile, searching the view, finds that page cut short and
    // never reaches the last page. The pattern's declared size comes from
    // the last page's own header bytes, so the serial number and the run's
    // length are searched for one that declares far enough.
    cases.push_back(DeclaringPastTheLastPage());
    // A run longer than CHUNKSIZE after the first page: the next header
    // page lies beyond libvorbisfile's search, hidden or not.
    cases.push_back({"a run longer than CHUNKSIZE within the headers",
                     Concatenated({Bytes(link.begin(), firstPageEnd), Bytes(100000, 0), Bytes(firstPageEnd, link.end())})});
    return cases;
}

// Reads the file at `path` with the reader, by libvorbisfile's roads alone
// and as libvorbisfile does, and expects the same reading, or a refusal
// where libvorbisfile's own reading passed the final budget. So every file
// tests those roads, also one the one-link reading answers. Returns the
// road libvorbisfile's roads took.
VorbisReading ExpectLibvorbisfilesAnswer(const std::string& path, ogg::VorbisFileInfo& reader,
                                         PrescribedVorbisFileInfo& prescribed, VorbisRoadsFileInfo& roads) {
    const int32_t result = reader.Open(path.c_str());
    const int32_t expected = prescribed.Open(path.c_str());
    const int32_t byRoadsResult = roads.Open(path.c_str());
    const TagRecord& byRoads = roads.record();
    const VorbisReading road = roads.reading();
    if (road == VorbisReading::kRefused) {
        EXPECT_EQ(result, 1);
        EXPECT_EQ(byRoadsResult, 1);
        const int64_t cost = ogg::ReadingCost(prescribed.bytesRead(), prescribed.seeks());
        EXPECT_GE(cost, ogg::FinalReadBudget(prescribed.record().fileSize));
        return road;
    }
    EXPECT_EQ(result, expected);
    EXPECT_EQ(byRoadsResult, expected);
    EXPECT_TRUE(SameFields(reader.record(), prescribed.record()))
        << "reader: " << reader.record().length << " s, '" << reader.record().title << "'; libvorbisfile: "
        << prescribed.record().length << " s, '" << prescribed.record().title << "'";
    EXPECT_TRUE(SameFields(byRoads, prescribed.record()))
        << "libvorbisfile's roads: " << byRoads.length << " s, '" << byRoads.title << "'; libvorbisfile: "
        << prescribed.record().length << " s, '" << prescribed.record().title << "'";
    return road;
}

// Files for each way the one-link reading ends, with the way it must take.
std::vector<OneLinkCase<ogg::OneLinkVorbis>> OneLinkCases() {
    using ogg::OneLinkVorbis;
    const Bytes link = Link(1, 1.2, 0x80000000);
    const Bytes other = Link(2, 1.4, 7);
    const std::vector<size_t> pages = OggPageOffsets(link);
    const auto at = [&](size_t page) { return link.begin() + static_cast<long>(pages.at(page)); };
    // The setup header's first codebook made no codebook: "BCV" becomes "XCV".
    Bytes badSetup = link;
    const Bytes codebookSync = {'B', 'C', 'V'};
    const auto sync = std::search(badSetup.begin() + static_cast<long>(pages[1]), badSetup.end(), codebookSync.begin(),
                                  codebookSync.end());
    badSetup = FlipInsidePage(badSetup, static_cast<size_t>(sync - badSetup.begin()), 'B' ^ 'X');
    return {
        {"one link", link, OneLinkVorbis::kAnswered},
        {"text", Bytes(3000, 'x'), OneLinkVorbis::kNoHeaders},
        {"another codec", OggOfAnotherCodec(), OneLinkVorbis::kNoHeaders},
        {"a setup header libvorbis refuses", badSetup, OneLinkVorbis::kNoHeaders},
        {"a second stream begun beside the first",
         Concatenated({Bytes(at(0), at(1)), OggPage(other, 0), Bytes(at(1), link.end()),
                       Bytes(other.begin() + static_cast<long>(OggPageOffsets(other)[1]), other.end())}),
         OneLinkVorbis::kOtherStreams},
        {"more than a chunk of zeros after the last page", Concatenated({link, Bytes(70000, 0)}),
         OneLinkVorbis::kNoPageAtTheEnd},
        {"two links", Concatenated({link, other}), OneLinkVorbis::kMoreThanOneLink},
        {"zeros between the headers and the first page of sound",
         Concatenated({Bytes(link.begin(), at(2)), Bytes(static_cast<size_t>(ogg::kLongestRunRead) + 100, 0), Bytes(at(2), link.end())}),
         OneLinkVorbis::kFarToTheFirstSound},
    };
}

}  // namespace

TEST(OggReadings, TheOneLinkReadingAnswersOrLeavesTheFileToLibvorbisfile) {
    ExpectEveryRoadTaken(
        OneLinkCases(), Link(1, 1.2, 1),
        [](ogg::FileWindows& read) {
            double seconds = 0;
            TagRecord tags{};
            return ogg::ReadOneLinkVorbis(read, seconds, tags);
        },
        [](const std::string& path) {
            ogg::VorbisFileInfo reader;
            PrescribedVorbisFileInfo prescribed;
            VorbisRoadsFileInfo byRoads;
            ExpectLibvorbisfilesAnswer(path, reader, prescribed, byRoads);
        });
}

TEST(OggReadings, EveryRoadGivesLibvorbisfilesAnswer) {
    TempDir dir;
    const std::string path = dir.File("generated.ogg");
    std::map<VorbisReading, int> roads;
    std::vector<Case> cases = GeneratedCases();
    for (Case& c : CasesAtTheEdgeOfWhatMayBeHidden()) cases.push_back(std::move(c));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(path, c.file);
        ogg::VorbisFileInfo reader;
        PrescribedVorbisFileInfo prescribed;
        VorbisRoadsFileInfo byRoads;
        ++roads[ExpectLibvorbisfilesAnswer(path, reader, prescribed, byRoads)];
    }
    for (const VorbisReading road : {VorbisReading::kFirst, VorbisReading::kView, VorbisReading::kFinal,
                                     VorbisReading::kRefused}) {
        EXPECT_GT(roads[road], 0) << "road " << static_cast<int>(road) << " never taken";
    }
}

TEST(OggReadings, EveryFlippedPageHeaderOfAChainGetsLibvorbisfilesAnswer) {
    const Bytes chained = samples::ChainedOgg(2, 3, {"TITLE=One"}, {"TITLE=Two"});
    TempDir dir;
    const std::string path = dir.File("chained.ogg");
    ogg::VorbisFileInfo reader;
    PrescribedVorbisFileInfo prescribed;  // a failure keeps the fields before, in all three
    VorbisRoadsFileInfo roads;
    const int before = CountOpenDescriptors();
    for (size_t page : OggPageOffsets(chained)) {
        for (size_t offset = page; offset < page + ogg::kOggPageHeaderSize + 32 && offset < chained.size(); ++offset) {
            SCOPED_TRACE("flip at " + std::to_string(offset));
            WriteBytes(path, FlipInsidePage(chained, offset));
            ExpectLibvorbisfilesAnswer(path, reader, prescribed, roads);
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
