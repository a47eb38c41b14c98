// A stdio stream as libvorbisfile should see it: ending with the last valid
// Ogg page. libvorbisfile finds the last page by stepping back from the end
// one chunk at a time and rescanning up to the end at every step, so a long
// run of bytes that are no pages after the audio (a download allocated to its
// full size and only partly written) costs it time quadratic in that run:
// minutes for a few hundred megabytes. Hiding that run makes its first step
// back find the last page.
#pragma once

#include <sys/types.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>

struct TrimmedStream {
    std::FILE* file;
    off_t end;       // bytes visible to the reader
    off_t position;  // kept here, so a read needs no ftello
};

// A stream over all of `file`, from its current position.
TrimmedStream WholeStream(std::FILE* file);

// Ends `stream` just past the last complete Ogg page whose checksum holds,
// found by one backward pass over the file, or at the stream's position
// (bytes already read) when that page ends before it; where there is no such
// page it keeps its end, leaving the verdict to libvorbisfile. A file whose
// pages run without a gap to its end is recognised from its last few
// kilobytes. The stream's position is kept.
void TrimToLastOggPage(TrimmedStream& stream);

// Callbacks for ov_open_callbacks over a TrimmedStream; closing the stream
// closes its file.
extern const ov_callbacks kTrimmedStreamCallbacks;
