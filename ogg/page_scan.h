// Ogg pages found the way libogg's ogg_sync_pageseek finds them, which is
// how libvorbisfile finds every page: a page starts wherever the capture
// pattern "OggS" does and the checksum holds over the header and the body
// its lacing values declare. Nothing else (version, serial number, what
// came before) decides. Bytes that merely begin like a page cost the search
// nothing but the bytes they declare.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace cvx::ogg {

enum class CaptureKind {
    kPage,      // a page: its checksum holds
    kNoPage,    // complete as declared, but its checksum fails
    kCutShort,  // the file ends before the header or body it declares
};

struct Capture {
    CaptureKind kind;
    size_t extentBytes;  // header and body as declared; 0 when cut short
};

// What ogg_sync_pageseek makes of the capture pattern at `capture`, given
// the bytes from there to the end of the file, or at least
// kOggLongestPage of them.
Capture ClassifyCapture(const unsigned char* capture, size_t available);

// The runs are searched for a chunk at a time, each read with the longest
// page after it, so that every capture pattern in a chunk is classified
// from one buffer.
inline constexpr size_t kRunScanChunk = size_t{1} << 20;

// A run of the file, in the file's own offsets.
struct FileRun {
    int64_t start;
    int64_t length;
};

// The runs of kShortestHiddenRun bytes or more that can be hidden from
// libvorbisfile without changing a page it finds: no page starts in them
// and none extends into them; every capture pattern in them fails its
// checksum within the file; the bytes every capture pattern outside them
// declares stay in view; and every search libvorbisfile bounds by its
// CHUNKSIZE from a page's end sees the same bytes. In file order; none when
// the file cannot be read through. One forward pass over the file.
std::vector<FileRun> FindPageFreeRuns(std::FILE* file, int64_t fileSizeBytes);

}  // namespace cvx::ogg
