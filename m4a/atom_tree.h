// What TagLib 1.13 would meet in a file's box tree, learnt before it reads
// the file, so that no file takes it where its arithmetic is undefined or
// its recursion runs off the stack. The walk follows MP4::Atom::Atom and
// MP4::Atoms::Atoms (taglib/mp4/mp4atom.cpp) box by box, and finds the
// media header MP4::Properties::read (taglib/mp4/mp4properties.cpp) takes
// the length from. It reads only box headers, the sound handler's type and
// the media header.
//
// TagLib counts positions and sizes in long: 32 bits in the Windows build,
// where a box of 2 GiB or more is invalid (and the file with it) and an end
// past 2 GiB overflows. Both builds refuse such files, so that the plug-in
// gives one record on every platform, the Windows build's.
#pragma once

#include <cstdint>

#include "m4a/file_stream.h"

namespace cvx::m4a {

// Containers nested deeper than this are refused: TagLib reads each level
// in a call of its own (and checks and frees the tree the same way), and
// some 6,000 levels (48 KB of nested headers) run a 1 MiB stack out, the
// main thread's on Windows; 100,000 an 8 MiB one. Real files nest six or
// seven deep; 500 levels take 4,000 bytes, within a fuzz input.
inline constexpr int kDeepestNesting = 500;

// The timescale and duration of the first sound track's media header, as
// MP4::Properties::read takes them; `found` false when it takes none.
struct MediaDuration {
    bool found = false;
    long long timescale = 0;
    long long duration = 0;
};

// The largest size or position TagLib's long holds in the 32-bit build.
inline constexpr long long kLongestTagLibCount = 2147483647;

enum class TreeVerdict {
    kTagLibReadsAll,       // tags and audio properties
    kTagLibReadsTagsOnly,  // the duration in ms would overflow TagLib's int: the length is ours
    kTooDeep,              // nested past kDeepestNesting: refused
    kPastTwoGiB,           // a box of 2 GiB or more, or ending past them: refused
};

struct AtomTree {
    TreeVerdict verdict = TreeVerdict::kTagLibReadsAll;
    MediaDuration media;
};

// The walk; `deepestNesting` other than kDeepestNesting only for checking
// the walk against TagLib's own tree.
AtomTree WalkAtomTree(FileStream& stream, int deepestNesting = kDeepestNesting);

// MP4::Properties::read's length in milliseconds, length * 1000.0 / unit
// + 0.5, before it is made an int; 0 when it takes no length.
double MediaMilliseconds(const MediaDuration& media);

// Whole seconds as the record keeps them: TagLib's milliseconds / 1000,
// truncated; where they pass int, the same rule on the exact duration, in
// the field's low 32 bits.
int32_t WholeSeconds(const MediaDuration& media);

}  // namespace cvx::m4a
