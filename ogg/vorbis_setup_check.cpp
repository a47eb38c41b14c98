#include "ogg/vorbis_setup_check.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace cvx::ogg {

namespace {

// libvorbis's limits (lib/codec_internal.h, lib/backends.h, lib/registry.h).
constexpr long kSetupPacketType = 5;
constexpr size_t kPreambleBytes = 7;  // the type and "vorbis"
constexpr int kTimeTypes = 1, kFloorTypes = 2, kResidueTypes = 3, kMappingTypes = 1, kWindowTypes = 1;
constexpr int kMostFloor1Posts = 63;  // VIF_POSIT
constexpr int kCodebookSync = 0x564342;  // "BCV"

// What the later checks need of an unpacked codebook.
struct Codebook {
    long dim = 0;
    long entries = 0;
    long maptype = 0;
};

// ov_ilog (lib/sharedbook.c): the bits of v.
int ILog(uint32_t v) {
    int bits = 0;
    for (; v != 0; v >>= 1) ++bits;
    return bits;
}

// _book_maptype1_quantvals (lib/sharedbook.c), with its first guess: the
// largest vals whose dim-th power is at most entries.
long Maptype1Quantvals(long entries, long dim) {
    if (entries < 1) return 0;
    long vals = static_cast<long>(
        std::floor(std::pow(static_cast<double>(static_cast<float>(entries)), 1.f / static_cast<float>(dim))));
    if (vals < 1) vals = 1;
    for (;;) {
        long acc = 1, acc1 = 1;
        long i = 0;
        for (; i < dim; ++i) {
            if (entries / vals < acc) break;
            acc *= vals;
            if (LONG_MAX / (vals + 1) < acc1) acc1 = LONG_MAX;
            else acc1 *= vals + 1;
        }
        if (i >= dim && acc <= entries && acc1 > entries) return vals;
        if (i < dim || acc > entries) --vals;
        else ++vals;
    }
}

// A sparse length list is a flag for each entry and, where it is set, a
// 5-bit length. kSparseSteps[w], for the 12 bits w from an entry's start:
// how many entries begin within them and how many bits those take (12 to
// 17), so that a dozen bits are passed with one look-up.
struct SparseStep {
    uint8_t entries;
    uint8_t bits;
};
constexpr int kSparseWindowBits = 12;
constexpr int kSparseLengthBits = 5;

struct SparseSteps {
    SparseStep byWindow[1 << kSparseWindowBits];
};

constexpr SparseSteps MakeSparseSteps() {
    SparseSteps steps{};
    for (unsigned window = 0; window < (1u << kSparseWindowBits); ++window) {
        unsigned at = 0, entries = 0;
        for (; at < kSparseWindowBits; ++entries) at += ((window >> at) & 1) ? 1 + kSparseLengthBits : 1;
        steps.byWindow[window] = {static_cast<uint8_t>(entries), static_cast<uint8_t>(at)};
    }
    return steps;
}

constexpr SparseSteps kSparseSteps = MakeSparseSteps();

uint32_t LittleEndian32(const unsigned char* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// The bit reader, as the unpacking functions use it.
class Bits {
public:
    Bits(const unsigned char* packet, long bytes) : packet_(packet) {
        oggpack_readinit(&opb_, const_cast<unsigned char*>(packet), bytes);
    }
    long Read(int bits) { return oggpack_read(&opb_, bits); }
    // Passes `bits` that the header has shown to be there, as reading them
    // one value at a time would.
    void Skip(long bits) { oggpack_adv(&opb_, static_cast<int>(bits)); }
    // The bytes not yet begun, as storage - oggpack_bytes.
    long BytesLeft() { return opb_.storage - oggpack_bytes(&opb_); }

    // Passes `entries` of a sparse length list, each a flag and, where it is
    // set, a 5-bit length, as reading them one at a time would; false where
    // a read would run past the packet (libogg's reader answers -1 there,
    // which the unpacking takes as the end). The flags decide where the
    // next entry begins, so the bits are taken straight from the packet.
    bool SkipSparseLengths(long entries) {
        if (opb_.ptr == nullptr) return entries == 0;  // already run out
        const int64_t start = int64_t{opb_.endbyte} * 8 + opb_.endbit;
        const int64_t end = int64_t{opb_.storage} * 8;
        int64_t at = start;
        long i = 0;
        // A dozen bits at a time while a 32-bit load and the longest step
        // stay within the packet and no step can pass the last entry.
        constexpr int64_t kLoadBits = 32;
        while (entries - i >= kSparseWindowBits && end - at >= kLoadBits) {
            const uint32_t window = (LittleEndian32(packet_ + (at >> 3)) >> (at & 7)) & ((1u << kSparseWindowBits) - 1);
            const SparseStep step = kSparseSteps.byWindow[window];
            i += step.entries;
            at += step.bits;
        }
        for (; i < entries; ++i) {
            if (at >= end) return false;
            const bool used = (packet_[at >> 3] >> (at & 7)) & 1;
            at += used ? 1 + kSparseLengthBits : 1;
            if (at > end) return false;
        }
        Skip(at - start);
        return true;
    }

private:
    const unsigned char* packet_;
    oggpack_buffer opb_;
};

// vorbis_staticbook_unpack (lib/codebook.c).
bool CheckCodebook(Bits& in, Codebook& book) {
    if (in.Read(24) != kCodebookSync) return false;
    book.dim = in.Read(16);
    book.entries = in.Read(24);
    if (book.entries == -1) return false;
    if (ILog(static_cast<uint32_t>(book.dim)) + ILog(static_cast<uint32_t>(book.entries)) > 24) return false;

    switch (static_cast<int>(in.Read(1))) {
        case 0: {  // a length for each entry, or a flag and a length for each
            const long unused = in.Read(1);
            if ((book.entries * (unused ? 1 : 5) + 7) >> 3 > in.BytesLeft()) return false;
            if (unused) {
                if (!in.SkipSparseLengths(book.entries)) return false;
            } else {
                in.Skip(book.entries * 5);
            }
            break;
        }
        case 1: {  // runs of entries of one length, the lengths ascending
            long length = in.Read(5) + 1;
            if (length == 0) return false;
            for (long i = 0; i < book.entries;) {
                const long num = in.Read(ILog(static_cast<uint32_t>(book.entries - i)));
                if (num == -1) return false;
                if (length > 32 || num > book.entries - i || (num > 0 && (num - 1) >> (length - 1) > 1)) return false;
                i += num;
                ++length;
            }
            break;
        }
        default:
            return false;
    }

    book.maptype = in.Read(4);
    switch (book.maptype) {
        case 0:
            return true;
        case 1:
        case 2: {
            in.Read(32);  // q_min
            in.Read(32);  // q_delta
            const long quant = in.Read(4) + 1;
            if (in.Read(1) == -1) return false;  // q_sequencep
            long quantvals = 0;
            if (book.maptype == 1) quantvals = book.dim == 0 ? 0 : Maptype1Quantvals(book.entries, book.dim);
            else quantvals = book.entries * book.dim;
            if ((quantvals * quant + 7) >> 3 > in.BytesLeft()) return false;
            in.Skip(quantvals * quant);
            return true;
        }
        default:
            return false;
    }
}

// floor0_unpack (lib/floor0.c).
bool CheckFloor0(Bits& in, const Codebook* books, int bookCount) {
    const long order = in.Read(8), rate = in.Read(16), barkmap = in.Read(16);
    in.Read(6);  // ampbits
    in.Read(8);  // ampdB
    const long numbooks = in.Read(4) + 1;
    if (order < 1 || rate < 1 || barkmap < 1 || numbooks < 1) return false;
    for (long j = 0; j < numbooks; ++j) {
        const long book = in.Read(8);
        if (book < 0 || book >= bookCount) return false;
        if (books[book].maptype == 0 || books[book].dim < 1) return false;
    }
    return true;
}

// floor1_unpack (lib/floor1.c).
bool CheckFloor1(Bits& in, int bookCount) {
    constexpr int kMostClasses = 16;
    const long partitions = in.Read(5);
    long partitionClass[31] = {};
    long maxClass = -1;
    for (long j = 0; j < partitions; ++j) {
        partitionClass[j] = in.Read(4);
        if (partitionClass[j] < 0) return false;
        maxClass = std::max(maxClass, partitionClass[j]);
    }
    long classDim[kMostClasses] = {};
    for (long j = 0; j < maxClass + 1; ++j) {
        classDim[j] = in.Read(3) + 1;
        const long subs = in.Read(2);
        if (subs < 0) return false;
        const long classBook = subs ? in.Read(8) : 0;
        if (classBook < 0 || classBook >= bookCount) return false;
        for (long k = 0; k < (1L << subs); ++k) {
            const long subbook = in.Read(8) - 1;
            if (subbook < -1 || subbook >= bookCount) return false;
        }
    }
    in.Read(2);  // mult
    const long rangeBits = in.Read(4);
    if (rangeBits < 0) return false;

    long posts[kMostFloor1Posts + 2] = {0, 1L << rangeBits};
    long count = 0;
    for (long j = 0, k = 0; j < partitions; ++j) {
        count += classDim[partitionClass[j]];
        if (count > kMostFloor1Posts) return false;
        for (; k < count; ++k) {
            const long post = in.Read(static_cast<int>(rangeBits));
            if (post < 0 || post >= (1L << rangeBits)) return false;
            posts[k + 2] = post;
        }
    }
    // No two posts alike: they would make a segment of no length.
    std::sort(posts, posts + count + 2);
    return std::adjacent_find(posts, posts + count + 2) == posts + count + 2;
}

// res0_unpack (lib/res0.c), which all three residue types use.
bool CheckResidue(Bits& in, const Codebook* books, int bookCount) {
    in.Read(24);  // begin
    in.Read(24);  // end
    in.Read(24);  // grouping - 1
    const long partitions = in.Read(6) + 1;
    const long groupBook = in.Read(8);
    if (groupBook < 0) return false;

    long stageBooks = 0;
    for (long j = 0; j < partitions; ++j) {
        long cascade = in.Read(3);
        const long hasHighBits = in.Read(1);
        if (hasHighBits < 0) return false;
        if (hasHighBits) {
            const long high = in.Read(5);
            if (high < 0) return false;
            cascade |= high << 3;
        }
        for (unsigned long bits = static_cast<unsigned long>(cascade) & 0xFF; bits != 0; bits &= bits - 1) ++stageBooks;
    }
    long stageBook[512];
    for (long j = 0; j < stageBooks; ++j) {
        stageBook[j] = in.Read(8);
        if (stageBook[j] < 0) return false;
    }
    if (groupBook >= bookCount) return false;
    for (long j = 0; j < stageBooks; ++j) {
        if (stageBook[j] >= bookCount || books[stageBook[j]].maptype == 0) return false;
    }
    // The group book must have an entry for every partitioning it can name.
    const int entries = static_cast<int>(books[groupBook].entries);
    int dim = static_cast<int>(books[groupBook].dim);
    if (dim < 1) return false;
    if (partitions == 1) return entries >= 1;  // the product stays 1, however many times
    int partvals = 1;
    for (; dim > 0; --dim) {
        partvals *= static_cast<int>(partitions);
        if (partvals > entries) return false;
    }
    return true;
}

// mapping0_unpack (lib/mapping0.c).
bool CheckMapping(Bits& in, int channels, int floors, int residues) {
    if (channels <= 0) return false;
    long flag = in.Read(1);
    if (flag < 0) return false;
    long submaps = 1;
    if (flag) {
        submaps = in.Read(4) + 1;
        if (submaps <= 0) return false;
    }
    flag = in.Read(1);
    if (flag < 0) return false;
    if (flag) {
        const long steps = in.Read(8) + 1;
        if (steps <= 0) return false;
        const int channelBits = ILog(static_cast<uint32_t>(channels - 1));
        for (long i = 0; i < steps; ++i) {
            const long magnitude = in.Read(channelBits), angle = in.Read(channelBits);
            if (magnitude < 0 || angle < 0 || magnitude == angle || magnitude >= channels || angle >= channels) return false;
        }
    }
    if (in.Read(2) != 0) return false;  // reserved
    if (submaps > 1) {
        for (int i = 0; i < channels; ++i) {
            const long submap = in.Read(4);
            if (submap >= submaps || submap < 0) return false;
        }
    }
    for (long i = 0; i < submaps; ++i) {
        in.Read(8);  // time submap, unused
        const long floor = in.Read(8);
        if (floor >= floors || floor < 0) return false;
        const long residue = in.Read(8);
        if (residue >= residues || residue < 0) return false;
    }
    return true;
}

// A count-1 field of `bits` bits, as libvorbis reads it.
int ReadCount(Bits& in, int bits) { return static_cast<int>(in.Read(bits) + 1); }

}  // namespace

// _vorbis_unpack_books (lib/info.c), after vorbis_synthesis_headerin has
// read the type and "vorbis".
bool CheckVorbisSetup(const unsigned char* packet, long bytes, int channels, VorbisModes& modes) {
    if (bytes < static_cast<long>(kPreambleBytes) || packet[0] != kSetupPacketType ||
        std::memcmp(packet + 1, "vorbis", kPreambleBytes - 1) != 0) {
        return false;
    }
    Bits in(packet, bytes);
    in.Skip(8 * kPreambleBytes);

    Codebook books[256];
    const int bookCount = ReadCount(in, 8);
    if (bookCount <= 0) return false;
    for (int i = 0; i < bookCount; ++i) {
        if (!CheckCodebook(in, books[i])) return false;
    }

    const int times = ReadCount(in, 6);
    if (times <= 0) return false;
    for (int i = 0; i < times; ++i) {
        const long type = in.Read(16);
        if (type < 0 || type >= kTimeTypes) return false;
    }

    const int floors = ReadCount(in, 6);
    if (floors <= 0) return false;
    for (int i = 0; i < floors; ++i) {
        const long type = in.Read(16);
        if (type < 0 || type >= kFloorTypes) return false;
        if (!(type == 0 ? CheckFloor0(in, books, bookCount) : CheckFloor1(in, bookCount))) return false;
    }

    const int residues = ReadCount(in, 6);
    if (residues <= 0) return false;
    for (int i = 0; i < residues; ++i) {
        const long type = in.Read(16);
        if (type < 0 || type >= kResidueTypes) return false;
        if (!CheckResidue(in, books, bookCount)) return false;
    }

    const int mappings = ReadCount(in, 6);
    if (mappings <= 0) return false;
    for (int i = 0; i < mappings; ++i) {
        const long type = in.Read(16);
        if (type < 0 || type >= kMappingTypes) return false;
        if (!CheckMapping(in, channels, floors, residues)) return false;
    }

    modes.count = ReadCount(in, 6);
    if (modes.count <= 0) return false;
    for (int i = 0; i < modes.count; ++i) {
        modes.blockFlag[i] = static_cast<unsigned char>(in.Read(1));
        const long window = in.Read(16), transform = in.Read(16), mapping = in.Read(8);
        if (window >= kWindowTypes || transform >= kWindowTypes || mapping >= mappings || mapping < 0) return false;
    }
    return in.Read(1) == 1;  // framing
}

}  // namespace cvx::ogg
