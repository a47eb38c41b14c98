// The Vorbis setup check against libvorbis's own verdict and modes
// (tests/support/library_comparisons.h), on the setup headers libvorbisenc
// writes and on damaged ones. fuzz/vorbis_setup_fuzzer.cpp takes this on
// with headers written field by field.
#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <algorithm>
#include <string>

#include "ogg/vorbis_setup_check.h"
#include "tests/support/library_comparisons.h"
#include "tools/samples/ogg_files.h"

namespace cvx::testing {

using samples::Bytes;
using samples::VorbisStream;

namespace {

Bytes SetupHeader(long rateHz, int channels, float quality) {
    VorbisStream stream = VorbisStream().Rate(rateHz).Channels(channels).Seconds(0.05);
    stream.quality = quality;
    return samples::PacketOf(samples::EncodeVorbis(stream), 2);
}

int ILog(unsigned long v) {
    int bits = 0;
    for (; v != 0; v >>= 1) ++bits;
    return bits;
}

// How the one codebook of SetupWithOneBook gives its code lengths.
enum class Lengths {
    kOrderedRuns,       // runs of ascending lengths covering every entry
    kSparseListCutOff,  // a flag (and a length) per entry, the entries outnumbering the bits left
};

// A mono setup header of one codebook with no value lookup and the least
// libvorbis takes after it: a time, a floor 1 without posts, a residue of
// one partition on the book, a mapping and a mode. The fields after the
// book are valid read from anywhere up to it, so a check that loses its
// place in the book still ends with a header it would take.
Bytes SetupWithOneBook(unsigned long dim, unsigned long entries, Lengths lengths) {
    oggpack_buffer rest;
    oggpack_writeinit(&rest);
    const auto put = [&rest](unsigned long value, int bits) { oggpack_write(&rest, value, bits); };
    put(0, 4);                                    // no value lookup
    put(0, 6), put(0, 16);                        // one time, type 0
    put(0, 6), put(1, 16);                        // one floor, type 1:
    put(0, 5), put(0, 2), put(0, 4);              //   no partitions, mult, range bits
    put(0, 6), put(0, 16);                        // one residue, type 0:
    put(0, 24), put(0, 24), put(0, 24);           //   begin, end, grouping
    put(0, 6), put(0, 8), put(0, 3), put(0, 1);   //   one partition, group book 0, no cascade
    put(0, 6), put(0, 16);                        // one mapping, type 0:
    put(0, 1), put(0, 1), put(0, 2);              //   one submap, no coupling, reserved
    put(0, 8), put(0, 8), put(0, 8);              //   time, floor 0, residue 0
    put(0, 6), put(1, 1), put(0, 16), put(0, 16), put(0, 8);  // one mode, long blocks, mapping 0
    put(1, 1);                                    // framing
    const long restBits = oggpack_bits(&rest);

    oggpack_buffer out;
    oggpack_writeinit(&out);
    oggpack_write(&out, 5, 8);
    for (const char c : std::string("vorbis")) oggpack_write(&out, static_cast<unsigned char>(c), 8);
    oggpack_write(&out, 0, 8);  // one book
    oggpack_write(&out, 0x564342, 24);
    oggpack_write(&out, dim, 16);
    if (lengths == Lengths::kSparseListCutOff) {
        // As many entries as whole bytes are left after the two flags: the
        // first flag set in the bits that follow runs the list out.
        const long flagsEnd = oggpack_bits(&out) + 24 + 2;
        entries = static_cast<unsigned long>((flagsEnd + restBits + 7) / 8 - (flagsEnd + 7) / 8) * 8;
        oggpack_write(&out, entries, 24);
        oggpack_write(&out, 0, 1), oggpack_write(&out, 1, 1);
    } else {
        oggpack_write(&out, entries, 24);
        oggpack_write(&out, 1, 1);
        oggpack_write(&out, 0, 5);  // the first length, 1
        // A run of a length holds at most 2^length entries.
        for (unsigned long length = 1, done = 0; done < entries; ++length) {
            const unsigned long run = std::min(entries - done, 1ul << length);
            oggpack_write(&out, run, ILog(entries - done));
            done += run;
        }
    }
    for (long i = 0; i < restBits; ++i) oggpack_write(&out, (rest.buffer[i / 8] >> (i % 8)) & 1, 1);
    Bytes setup(out.buffer, out.buffer + oggpack_bytes(&out));
    oggpack_writeclear(&rest);
    oggpack_writeclear(&out);
    return setup;
}

}  // namespace

TEST(VorbisSetupCheck, TakesEverySetupHeaderTheEncoderWritesWithLibvorbissModes) {
    // Six channels at 44.1 and 48 kHz leak in libvorbisenc's own setup.
    for (const float quality : {-0.1f, 0.0f, 0.2f, 0.5f, 0.8f, 1.0f}) {
        for (const long rateHz : {8000L, 11025L, 22050L, 32000L, 44100L, 48000L, 96000L}) {
            for (const int channels : {1, 2}) {
                const Bytes setup = SetupHeader(rateHz, channels, quality);
                ASSERT_FALSE(setup.empty());
                EXPECT_EQ(SetupCheckDifference(setup, channels), "")
                    << rateHz << " Hz, " << channels << " channels, quality " << quality;
            }
        }
    }
}

TEST(VorbisSetupCheck, GivesLibvorbissVerdictWithAnyByteChangedOrTheHeaderCut) {
    const Bytes setup = SetupHeader(44100, 2, 0.3f);
    for (size_t at = 0; at < setup.size(); ++at) {
        for (const uint8_t mask : {0x01, 0x10, 0xFF}) {
            Bytes changed = setup;
            changed[at] ^= mask;
            ASSERT_EQ(SetupCheckDifference(changed, 2), "") << "byte " << at << " ^ " << int{mask};
        }
        ASSERT_EQ(SetupCheckDifference(Bytes(setup.begin(), setup.begin() + static_cast<long>(at)), 2), "") << "cut at " << at;
    }
    // The same header read as a mono stream's: its coupling names a second
    // channel.
    EXPECT_EQ(SetupCheckDifference(setup, 1), "");
}

// Books the encoder never writes, at the edges of the codebook checks.
TEST(VorbisSetupCheck, GivesLibvorbissVerdictOnBooksAtTheEdges) {
    const struct {
        const char* name;
        Bytes setup;
        bool taken;
    } rows[] = {
        {"dim and entries in 24 bits", SetupWithOneBook(1, (1ul << 23) - 1, Lengths::kOrderedRuns), true},
        {"dim and entries in 25 bits", SetupWithOneBook(1, 1ul << 23, Lengths::kOrderedRuns), false},
        {"entries in 23 bits, dim in 2", SetupWithOneBook(2, 1ul << 22, Lengths::kOrderedRuns), false},
        {"a sparse list cut off", SetupWithOneBook(1, 0, Lengths::kSparseListCutOff), false},
    };
    for (const auto& row : rows) {
        ogg::VorbisModes modes;
        EXPECT_EQ(ogg::CheckVorbisSetup(row.setup.data(), static_cast<long>(row.setup.size()), 1, modes), row.taken) << row.name;
        EXPECT_EQ(SetupCheckDifference(row.setup, 1), "") << row.name;
    }
}

}  // namespace cvx::testing
