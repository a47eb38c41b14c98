#include "m4a/atom_tree.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "m4a/mp4_layout.h"

namespace cvx::m4a {

namespace {

// What MP4::Properties::read looks for: the first top-level moov, its trak
// children, and in each the first mdia's first hdlr and mdhd.
enum class Role { kOther, kFirstMoov, kTrack, kFirstMdia };

struct Box {
    bool found = false;
    long offset = 0;
    long length = 0;
};

struct Track {
    bool hasMdia = false;
    Box handler;
    Box mediaHeader;
};

struct OpenContainer {
    long end;
    Role role;
    size_t track;
};

bool IsType(const unsigned char* type, const char* name) { return std::memcmp(type, name, 4) == 0; }

template <size_t N>
bool IsOneOf(const unsigned char* type, const char* const (&names)[N]) {
    for (const char* name : names) {
        if (IsType(type, name)) return true;
    }
    return false;
}

uint32_t Read32(const unsigned char* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// ByteVector::toLongLong: big-endian over the bytes there are, up to 8.
long long ReadUpTo64(const unsigned char* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) value = value << 8 | bytes[i];
    return static_cast<long long>(value);
}

// Properties::read's choice: the first trak whose first mdia's first hdlr
// says "soun"; it gives up at a trak without one.
const Track* FirstSoundTrack(FileStream& stream, const std::vector<Track>& tracks) {
    for (const Track& track : tracks) {
        if (!track.handler.found) return nullptr;
        unsigned char type[4];
        if (track.handler.length >= kHandlerTypeOffset + 4 &&
            stream.ReadAt(int64_t{track.handler.offset} + kHandlerTypeOffset, type, 4) == 4 &&
            IsType(type, kSoundHandler)) {
            return &track;
        }
    }
    return nullptr;
}

// The mdhd's timescale and duration, read as Properties::read reads them
// from the box's bytes (as many of them as the file holds).
MediaDuration ReadMediaHeader(FileStream& stream, const Box& box) {
    MediaDuration media;
    if (!box.found) return media;
    unsigned char header[kMediaHeaderSizeV1] = {};
    const size_t wanted = static_cast<size_t>(std::min<long>(box.length, kMediaHeaderSizeV1));
    const size_t size = stream.ReadAt(box.offset, header, wanted);
    const unsigned version = size > kMediaHeaderVersionOffset ? header[kMediaHeaderVersionOffset] : 0;
    if (version == 1) {
        if (size < kMediaHeaderSizeV1) return media;
        media.timescale = Read32(header + kTimescaleOffsetV1);
        media.duration = ReadUpTo64(header + kDurationOffsetV1, 8);
    } else {
        if (size < kMediaHeaderSizeV0) return media;
        media.timescale = Read32(header + kTimescaleOffsetV0);
        media.duration = Read32(header + kDurationOffsetV0);
    }
    media.found = true;
    return media;
}

constexpr double kFirstMillisecondsPastInt = 2147483648.0;

}  // namespace

double MediaMilliseconds(const MediaDuration& media) {
    if (!media.found || media.timescale <= 0 || media.duration <= 0) return 0;
    return media.duration * 1000.0 / media.timescale + 0.5;
}

int32_t WholeSeconds(const MediaDuration& media) {
    const double milliseconds = MediaMilliseconds(media);
    if (milliseconds < kFirstMillisecondsPastInt) return static_cast<int32_t>(milliseconds) / 1000;
    constexpr double kTwoTo32 = 4294967296.0;
    const double seconds = std::fmod(std::trunc(std::trunc(milliseconds) / 1000), kTwoTo32);
    return static_cast<int32_t>(static_cast<uint32_t>(seconds));
}

AtomTree WalkAtomTree(FileStream& stream, int deepestNesting) {
    AtomTree tree;
    const long fileLength = stream.length();
    std::vector<OpenContainer> open;
    std::vector<Track> tracks;
    bool moovSeen = false;
    long position = 0;
    for (;;) {
        // Atoms::Atoms reads boxes while a header fits; a container reads
        // children while the position is within it.
        if (open.empty() ? position + kAtomHeaderSize > fileLength : position >= open.back().end) {
            if (open.empty()) break;
            open.pop_back();
            continue;
        }
        const long offset = position;
        unsigned char header[kAtomHeaderSize];
        bool valid = stream.ReadAt(offset, header, sizeof header) == sizeof header;
        long length = 0;
        position = offset + kAtomHeaderSize;
        if (valid) {
            const uint32_t size = Read32(header);
            long long wide = size;
            if (size == kSizeToTheEnd) {
                wide = fileLength - offset;
            } else if (size == kSizeInLargeField) {
                unsigned char large[kLargeSizeFieldSize];
                const size_t got = stream.ReadAt(position, large, sizeof large);
                position += static_cast<long>(got);
                wide = ReadUpTo64(large, got);
            }
            // The Windows build's TagLib takes no size past its long (and
            // refuses the file); a negative large size it would cut to 32
            // bits, where the 64-bit build refuses the file.
            if (wide > kLongestTagLibCount || (size == kSizeInLargeField && wide < 0)) {
                tree.verdict = TreeVerdict::kPastTwoGiB;
                return tree;
            }
            length = static_cast<long>(wide);
            valid = length >= kAtomHeaderSize;
        }
        if (!valid) {
            // An invalid box sends TagLib to the end of the file; the
            // container it was in stops there, the top level too.
            position = fileLength;
            if (open.empty()) break;
            open.pop_back();
            continue;
        }
        // TagLib adds the length to the offset, and 8 to that at the top.
        if (length > kLongestTagLibCount - kAtomHeaderSize - offset) {
            tree.verdict = TreeVerdict::kPastTwoGiB;
            return tree;
        }
        const unsigned char* type = header + 4;
        const OpenContainer* parent = open.empty() ? nullptr : &open.back();
        const Role parentRole = parent ? parent->role : Role::kOther;
        if (parentRole == Role::kFirstMdia) {
            Track& track = tracks[parent->track];
            Box* box = IsType(type, "hdlr") ? &track.handler : IsType(type, "mdhd") ? &track.mediaHeader : nullptr;
            if (box && !box->found) *box = Box{true, offset, length};
        }
        if (!IsOneOf(type, kContainerTypes)) {
            position = offset + length;
            continue;
        }
        if (open.size() + 1 > static_cast<size_t>(deepestNesting)) {
            tree.verdict = TreeVerdict::kTooDeep;
            return tree;
        }
        OpenContainer container{offset + length, Role::kOther, 0};
        if (!parent && IsType(type, "moov") && !moovSeen) {
            moovSeen = true;
            container.role = Role::kFirstMoov;
        } else if (parentRole == Role::kFirstMoov && IsType(type, "trak")) {
            container.role = Role::kTrack;
            container.track = tracks.size();
            tracks.emplace_back();
        } else if (parentRole == Role::kTrack && IsType(type, "mdia") && !tracks[parent->track].hasMdia) {
            tracks[parent->track].hasMdia = true;
            container.role = Role::kFirstMdia;
            container.track = parent->track;
        }
        if (IsType(type, "meta")) {
            unsigned char next[kAtomHeaderSize];
            const bool childFollows = stream.ReadAt(position, next, sizeof next) == sizeof next &&
                                      IsOneOf(next + 4, kMetaChildTypes);
            position += childFollows ? 0 : kMetaFullBoxFields;
        } else if (IsType(type, "stsd")) {
            position += kStsdFields;
        }
        open.push_back(container);
    }
    const Track* sound = FirstSoundTrack(stream, tracks);
    if (sound) tree.media = ReadMediaHeader(stream, sound->mediaHeader);
    // Within 2 GiB, the media data Properties' bit rate multiplies by 8
    // cannot pass long long; the duration can pass int milliseconds.
    if (MediaMilliseconds(tree.media) >= kFirstMillisecondsPastInt) {
        tree.verdict = TreeVerdict::kTagLibReadsTagsOnly;
    }
    return tree;
}

}  // namespace cvx::m4a
