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

// libogg's bit packer, as the encoder writes headers with it.
class BitWriter {
public:
    BitWriter() { oggpack_writeinit(&out_); }
    ~BitWriter() { oggpack_writeclear(&out_); }
    BitWriter(const BitWriter&) = delete;
    BitWriter& operator=(const BitWriter&) = delete;

    void Put(unsigned long value, int bits) { oggpack_write(&out_, value, bits); }
    void Append(BitWriter& other) {
        for (long i = 0; i < other.bits(); ++i) Put((other.out_.buffer[i / 8] >> (i % 8)) & 1, 1);
    }
    long bits() { return oggpack_bits(&out_); }
    Bytes bytes() { return Bytes(out_.buffer, out_.buffer + oggpack_bytes(&out_)); }

private:
    oggpack_buffer out_;
};

// How book 0 gives its code lengths.
enum class Lengths {
    kOrderedRuns,  // runs of ascending lengths covering every entry
    // A flag per entry, as many entries as whole bytes are left after the
    // flags: the first flag set in what follows runs the list out, and what
    // follows is the rest of a header libvorbis would take.
    kSparseListCutOff,
};

// A small setup header, every field a row may change named, by default one
// libvorbis takes: book 0 without a value lookup, book 1 with one, a time,
// a floor, a residue with a stage on book 1, a mapping and a mode. Each
// row of the edge test moves one field just past what libvorbis takes.
struct SmallSetup {
    int channels = 2;
    unsigned long book0Dim = 1, book0Entries = 4;
    Lengths book0Lengths = Lengths::kOrderedRuns;
    unsigned long book1Dim = 1, book1Entries = 4;  // lookup type 2, a 1-bit value each
    unsigned long floorType = 1;
    unsigned long floor0Book = 1;
    // Floor 1: partitions of class 0, whose posts are `floor1ClassDim`
    // each, and whose one subclass bit names the class book and two
    // subclass books (each written plus one).
    unsigned long floor1Partitions = 1, floor1ClassDim = 2, floor1ClassBook = 0, floor1SubbookPlusOne = 1;
    unsigned long residuePartitions = 1, residueGroupBook = 0, residueStageBook = 1;
    unsigned long couplingMagnitude = 0, couplingAngle = 1;  // with two channels or more
    // The mapping's submaps (each channel's named where there are more
    // than one) and what each takes.
    unsigned long mappingSubmaps = 1, channelSubmap = 0, mappingFloor = 0, mappingResidue = 0;
    unsigned long modeMapping = 0;

    Bytes Written() const {
        BitWriter rest;  // all after book 0's lengths
        PutRest(rest);
        BitWriter out;
        out.Put(5, 8);
        for (const char c : std::string("vorbis")) out.Put(static_cast<unsigned char>(c), 8);
        out.Put(2 - 1, 8);  // books
        out.Put(kCodebookSync, 24);
        out.Put(book0Dim, 16);
        if (book0Lengths == Lengths::kSparseListCutOff) {
            const long flagsEnd = out.bits() + 24 + 2;
            out.Put(static_cast<unsigned long>((flagsEnd + rest.bits() + 7) / 8 - (flagsEnd + 7) / 8) * 8, 24);
            out.Put(0, 1), out.Put(1, 1);  // not ordered, sparse
        } else {
            out.Put(book0Entries, 24);
            PutOrderedLengths(out, book0Entries);
        }
        out.Append(rest);
        return out.bytes();
    }

private:
    static constexpr unsigned long kCodebookSync = 0x564342;

    // Runs of ascending lengths from 1; a run of a length holds at most
    // 2^length entries.
    static void PutOrderedLengths(BitWriter& out, unsigned long entries) {
        out.Put(1, 1), out.Put(0, 5);
        for (unsigned long length = 1, done = 0; done < entries; ++length) {
            const unsigned long run = std::min(entries - done, 1ul << length);
            out.Put(run, ILog(entries - done));
            done += run;
        }
    }

    void PutRest(BitWriter& out) const {
        out.Put(0, 4);  // book 0: no value lookup
        out.Put(kCodebookSync, 24), out.Put(book1Dim, 16), out.Put(book1Entries, 24);
        PutOrderedLengths(out, book1Entries);
        out.Put(2, 4), out.Put(0, 32), out.Put(0, 32), out.Put(0, 4), out.Put(0, 1);  // lookup 2: min, delta, 1 bit, no sequence
        for (unsigned long i = 0; i < book1Dim * book1Entries; ++i) out.Put(1, 1);
        out.Put(0, 6), out.Put(0, 16);  // one time, type 0
        out.Put(0, 6), out.Put(floorType, 16);  // one floor
        if (floorType == 0) {
            out.Put(1, 8), out.Put(1, 16), out.Put(1, 16), out.Put(0, 6), out.Put(0, 8);  // order, rate, bark map, amplitude
            out.Put(0, 4), out.Put(floor0Book, 8);  // one book
        } else {
            out.Put(floor1Partitions, 5);
            for (unsigned long j = 0; j < floor1Partitions; ++j) out.Put(0, 4);
            out.Put(floor1ClassDim - 1, 3), out.Put(1, 2), out.Put(floor1ClassBook, 8);
            out.Put(floor1SubbookPlusOne, 8), out.Put(floor1SubbookPlusOne, 8);
            constexpr int kRangeBits = 8;
            out.Put(0, 2), out.Put(kRangeBits, 4);  // mult, range bits
            for (unsigned long k = 0; k < floor1Partitions * floor1ClassDim; ++k) out.Put(2 + 3 * k, kRangeBits);
        }
        out.Put(0, 6), out.Put(0, 16);  // one residue, type 0:
        out.Put(0, 24), out.Put(0, 24), out.Put(0, 24);  //   begin, end, grouping
        out.Put(residuePartitions - 1, 6), out.Put(residueGroupBook, 8);
        for (unsigned long j = 0; j < residuePartitions; ++j) out.Put(1, 3), out.Put(0, 1);  // a first stage
        for (unsigned long j = 0; j < residuePartitions; ++j) out.Put(residueStageBook, 8);
        out.Put(0, 6), out.Put(0, 16);  // one mapping, type 0:
        out.Put(mappingSubmaps > 1, 1);
        if (mappingSubmaps > 1) out.Put(mappingSubmaps - 1, 4);
        const int channelBits = ILog(static_cast<unsigned long>(channels - 1));
        out.Put(channels > 1, 1);
        if (channels > 1) out.Put(0, 8), out.Put(couplingMagnitude, channelBits), out.Put(couplingAngle, channelBits);
        out.Put(0, 2);  //   reserved
        if (mappingSubmaps > 1) {
            for (int i = 0; i < channels; ++i) out.Put(channelSubmap, 4);
        }
        for (unsigned long i = 0; i < mappingSubmaps; ++i) out.Put(0, 8), out.Put(mappingFloor, 8), out.Put(mappingResidue, 8);
        out.Put(0, 6), out.Put(1, 1), out.Put(0, 16), out.Put(0, 16), out.Put(modeMapping, 8);  // one mode, long blocks
        out.Put(1, 1);  // framing
    }
};

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

// Headers the encoder never writes, each a field just past what libvorbis
// takes (or the header taken as it stands).
TEST(VorbisSetupCheck, GivesLibvorbissVerdictAtTheEdgesOfEachCheck) {
    const auto with = [](auto change) {
        SmallSetup setup;
        change(setup);
        return setup;
    };
    const struct {
        const char* name;
        SmallSetup setup;
        bool taken;
    } rows[] = {
        {"as it stands", {}, true},
        {"dim and entries in 24 bits", with([](SmallSetup& s) { s.book0Entries = (1ul << 23) - 1; }), true},
        {"dim and entries in 25 bits", with([](SmallSetup& s) { s.book0Entries = 1ul << 23; }), false},
        {"entries in 23 bits, dim in 2", with([](SmallSetup& s) { s.book0Dim = 2, s.book0Entries = 1ul << 22; }), false},
        {"a sparse list cut off", with([](SmallSetup& s) { s.book0Lengths = Lengths::kSparseListCutOff; }), false},
        {"floor 0", with([](SmallSetup& s) { s.floorType = 0; }), true},
        {"floor 0 on a book of no dimensions", with([](SmallSetup& s) { s.book1Dim = 0, s.floorType = 0; }), false},
        {"a floor of type 2", with([](SmallSetup& s) { s.floorType = 2; }), false},
        {"a floor 1 class book past the last", with([](SmallSetup& s) { s.floor1ClassBook = 2; }), false},
        {"a floor 1 subclass book past the last", with([](SmallSetup& s) { s.floor1SubbookPlusOne = 3; }), false},
        {"63 floor 1 posts", with([](SmallSetup& s) { s.floor1Partitions = 21, s.floor1ClassDim = 3; }), true},
        {"64 floor 1 posts", with([](SmallSetup& s) { s.floor1Partitions = 16, s.floor1ClassDim = 4; }), false},
        {"a residue group book of no dimensions", with([](SmallSetup& s) { s.book1Dim = 0, s.residueGroupBook = 1; }), false},
        {"one residue partition, a group book of no entries", with([](SmallSetup& s) { s.book0Entries = 0; }), false},
        {"two residue partitions, a group book of two entries", with([](SmallSetup& s) { s.book0Entries = 2, s.residuePartitions = 2; }), true},
        {"two residue partitions, a group book of one entry", with([](SmallSetup& s) { s.book0Entries = 1, s.residuePartitions = 2; }), false},
        {"a channel coupled with itself", with([](SmallSetup& s) { s.couplingAngle = 0; }), false},
        {"three channels, coupling", with([](SmallSetup& s) { s.channels = 3, s.couplingMagnitude = 1, s.couplingAngle = 2; }), true},
        {"a magnitude channel past the last", with([](SmallSetup& s) { s.channels = 3, s.couplingMagnitude = 3; }), false},
        {"an angle channel past the last", with([](SmallSetup& s) { s.channels = 3, s.couplingAngle = 3; }), false},
        {"two submaps", with([](SmallSetup& s) { s.mappingSubmaps = 2, s.channelSubmap = 1; }), true},
        {"a channel's submap past the last", with([](SmallSetup& s) { s.mappingSubmaps = 2, s.channelSubmap = 2; }), false},
        {"a submap's floor past the last", with([](SmallSetup& s) { s.mappingFloor = 1; }), false},
        {"a submap's residue past the last", with([](SmallSetup& s) { s.mappingResidue = 1; }), false},
        {"a mode's mapping past the last", with([](SmallSetup& s) { s.modeMapping = 1; }), false},
    };
    for (const auto& row : rows) {
        const Bytes setup = row.setup.Written();
        ogg::VorbisModes modes;
        EXPECT_EQ(ogg::CheckVorbisSetup(setup.data(), static_cast<long>(setup.size()), row.setup.channels, modes), row.taken)
            << row.name;
        EXPECT_EQ(SetupCheckDifference(setup, row.setup.channels), "") << row.name;
    }
}

}  // namespace cvx::testing
