// The page checksum and the page finder the Ogg readers share, against
// libogg: the checksum against ogg_page_checksum_set, both ways; the finder
// against ogg_sync_pageseek fed as libvorbisfile and libopusfile feed it
// (tests/support/library_comparisons.h).
#include <gtest/gtest.h>
#include <ogg/ogg.h>
#include <valgrind/valgrind.h>

#include <random>

#include "ogg/page_checksum.h"
#include "ogg/page_layout.h"
#include "tests/support/library_comparisons.h"
#include "tests/support/ogg_fixtures.h"

namespace cvx::testing {

using samples::Bytes;

namespace {

uint32_t LibraryPageChecksum(const unsigned char* header, const unsigned char* body, size_t bodySize) {
    unsigned char copy[ogg::kOggPageHeaderSize];
    std::copy_n(header, sizeof copy, copy);
    ogg_page page{copy, static_cast<long>(sizeof copy), const_cast<unsigned char*>(body), static_cast<long>(bodySize)};
    ogg_page_checksum_set(&page);
    return uint32_t{copy[22]} | uint32_t{copy[23]} << 8 | uint32_t{copy[24]} << 16 | uint32_t{copy[25]} << 24;
}

// Every body length is checked in the optimised build; the sanitizers and
// valgrind, some fifty times slower, check every one up to 2 KiB and every
// 97th beyond.
bool Thinned() {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || !defined(NDEBUG)
    return true;
#else
    return RUNNING_ON_VALGRIND != 0;
#endif
}

}  // namespace

TEST(PageChecksum, EveryPageLengthAtEveryAlignmentGivesLiboggsChecksumBothWays) {
    std::mt19937 random(7);
    Bytes bytes(ogg::kOggLongestPage + 16);
    for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
    const bool bothWays = ogg::CarrylessMultiplyAvailable();
    const size_t longestBody = ogg::kOggLongestPage - ogg::kOggPageHeaderSize;
    for (size_t bodySize = 0; bodySize <= longestBody; ++bodySize) {
        if (Thinned() && bodySize > 2048 && bodySize % 97 != 0 && bodySize != longestBody) continue;
        // Each length at an alignment of its own, so that every pair of
        // alignment and length modulo 16 comes up.
        const unsigned char* header = bytes.data();
        const unsigned char* body = bytes.data() + ogg::kOggPageHeaderSize + (bodySize / 16) % 16;
        const uint32_t expected = LibraryPageChecksum(header, body, bodySize);
        ASSERT_EQ(ogg::PageChecksum(header, ogg::kOggPageHeaderSize, body, bodySize), expected) << bodySize;
        const uint32_t headerChecksum = ogg::ChecksumUpdateByTable(
            ogg::ChecksumUpdateByTable(ogg::ChecksumUpdateByTable(0, header, ogg::kOggChecksumOffset),
                                       reinterpret_cast<const unsigned char*>("\0\0\0\0"), ogg::kOggChecksumSize),
            header + ogg::kOggChecksumOffset + ogg::kOggChecksumSize,
            ogg::kOggPageHeaderSize - ogg::kOggChecksumOffset - ogg::kOggChecksumSize);
        ASSERT_EQ(ogg::ChecksumUpdateByTable(headerChecksum, body, bodySize), expected) << bodySize;
        if (bothWays) {
            ASSERT_EQ(ogg::ChecksumUpdateByCarrylessMultiply(headerChecksum, body, bodySize), expected) << bodySize;
        }
    }
    if (!bothWays) GTEST_SKIP() << "no carry-less multiplication on this processor: the table alone was checked";
}

TEST(PageFinder, FindsWhatLibvorbisfileAndLibopusfileFind) {
    const Bytes link = samples::EncodeVorbis(samples::VorbisStream().Rate(44100).Channels(2).Seconds(3.0).Tone(440).Comments({"TITLE=One"}));
    const Bytes chain = samples::ChainedOgg(0.5, 0.5, {"TITLE=A"}, {"TITLE=B"});
    std::vector<std::pair<std::string, Bytes>> files = {{"a link", link}, {"a chain", chain}};
    // Damaged copies: cut inside a page, a body byte flipped (the checksum
    // fails), a lacing value flipped with the checksum redone, and a page
    // that declares more than the file holds.
    const std::vector<size_t> pages = OggPageOffsets(link);
    ASSERT_GE(pages.size(), 5u);
    files.push_back({"cut", Bytes(link.begin(), link.begin() + static_cast<long>(pages[3] + 40))});
    Bytes flipped = link;
    flipped[pages[2] + 100] ^= 0x10;
    files.push_back({"a body byte flipped", flipped});
    files.push_back({"a lacing value changed", FlipInsidePage(link, pages[2] + ogg::kOggPageHeaderSize, 0x01)});
    files.push_back({"the longest page declared before the last",
                     samples::Concatenated({Bytes(link.begin(), link.begin() + static_cast<long>(pages.back())),
                                            CaptureWithoutPage(255), Bytes(link.begin() + static_cast<long>(pages.back()), link.end())})});
    // Random bytes strewn with capture patterns, some of them real pages.
    std::mt19937 random(11);
    for (int i = 0; i < 8; ++i) {
        Bytes noise(20000 + random() % 20000);
        for (uint8_t& byte : noise) byte = static_cast<uint8_t>(random());
        for (size_t at = random() % 300; at + ogg::kOggPageHeaderSize < noise.size(); at += 50 + random() % 900) {
            if (random() % 4 == 0) {
                const Bytes page(link.begin() + static_cast<long>(pages[2]), link.begin() + static_cast<long>(pages[3]));
                std::copy_n(page.begin(), std::min(page.size(), noise.size() - at), noise.begin() + static_cast<long>(at));
            } else {
                std::copy_n(ogg::kOggCapturePattern, ogg::kOggCaptureSize, noise.begin() + static_cast<long>(at));
            }
        }
        files.push_back({"noise " + std::to_string(i), noise});
    }

    for (const auto& [what, bytes] : files) {
        for (const int64_t from : {int64_t{0}, int64_t{1}, static_cast<int64_t>(bytes.size() / 3)}) {
            for (const auto library : {LibraryPageSearch::Library::kVorbisfile, LibraryPageSearch::Library::kOpusfile}) {
                for (const auto boundary : {PageBoundary::kNone, PageBoundary::kFromEachPage, PageBoundary::kAtTheEnd}) {
                    for (const int64_t distance : {int64_t{500}, int64_t{65536}}) {
                        EXPECT_EQ(PageSearchDifference(bytes, from, library, boundary, distance, 1000), "")
                            << what << " from " << from << ", " << (library == LibraryPageSearch::Library::kOpusfile ? "opusfile" : "vorbisfile")
                            << ", boundary " << static_cast<int>(boundary) << " at " << distance;
                    }
                }
            }
        }
    }
}

}  // namespace cvx::testing
