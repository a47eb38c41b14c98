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
#include <vector>

namespace cvx::ogg {

// A run of the file the reader does not see: `length` bytes, hidden at
// offset `visibleAt` of what it sees.
struct HiddenRun {
    off_t visibleAt;
    off_t length;
};

// Offsets of `end` and `position` are those the reader sees: the file's own,
// less the hidden runs before them.
struct TrimmedStream {
    std::FILE* file;
    off_t end;                 // bytes visible to the reader
    off_t position;            // kept here, so a read needs no ftello
    long lastPageSerial = -1;  // of the file's last page, -1 when not known
    std::vector<HiddenRun> hidden;  // in file order
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

// In a chained file (its last page belongs to no stream of the first link,
// whose serial numbers are `firstLinkSerials`), hides every run of at least
// a megabyte between two pages in which no valid page starts: zeros where a
// download was never written, between two links. libvorbisfile looks for
// the end of each link by stepping back from the next link one chunk at a
// time and rescanning up to it, which costs time quadratic in such a run;
// hidden, the run costs one pass. No page is hidden, nor any byte before
// `dataStart` or already read, so every record stays as it was. Walks the
// pages from `dataStart` (where the first link's audio starts) to the end.
void HideGapsBetweenLinks(TrimmedStream& stream, off_t dataStart, const long* firstLinkSerials, int serialCount);

// Callbacks for ov_open_callbacks over a TrimmedStream; closing the stream
// closes its file.
extern const ov_callbacks kTrimmedStreamCallbacks;

}  // namespace cvx::ogg
