#pragma once

#include <cstdio>

namespace cvx::flac {

// True when the FLAC stream marker "fLaC" of `file`, an unbuffered stream
// just opened (so at its start), lies near its start: after an ID3v2 tag if
// there is one, within a small window of leading junk. libFLAC's decoder would search the whole
// file for the marker, which takes seconds on a large file of zeros, such as
// a download space-allocated but never written; this check answers at once.
bool FlacMarkerNearStart(std::FILE* file);

}  // namespace cvx::flac
