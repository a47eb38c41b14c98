#include "ogg/trimmed_stream.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Ogg page: "OggS" version[1] type[1] granule[8] serial[4] sequence[4]
// crc[4] segments[1] lacing[segments], then the body.
constexpr char kCapturePattern[] = "OggS";
constexpr size_t kCaptureSize = 4;
constexpr size_t kVersionOffset = 4;  // always 0
constexpr size_t kSegmentCountOffset = 26;
constexpr size_t kHeaderSize = 27;  // then the lacing values, one per segment
constexpr size_t kLongestPage = kHeaderSize + 255 + 255 * 255;
constexpr size_t kScanChunk = 64 * 1024;
// The tail read first: it holds the last page or two of any usual file.
constexpr size_t kTailSize = 16 * 1024;

// Size of the page whose header starts at `page`, taken from its lacing
// values, or 0 when they do not lie within the `available` bytes.
size_t DeclaredPageSize(const unsigned char* page, size_t available) {
    if (available < kHeaderSize || page[kVersionOffset] != 0) return 0;
    const size_t segments = page[kSegmentCountOffset];
    if (available < kHeaderSize + segments) return 0;
    size_t size = kHeaderSize + segments;
    for (size_t i = 0; i < segments; ++i) size += page[kHeaderSize + i];
    return size;
}

const unsigned char* FindCapture(const unsigned char* from, const unsigned char* end) {
    while (end - from >= static_cast<ptrdiff_t>(kCaptureSize)) {
        from = static_cast<const unsigned char*>(std::memchr(from, kCapturePattern[0], static_cast<size_t>(end - from)));
        if (from == nullptr || end - from < static_cast<ptrdiff_t>(kCaptureSize)) return nullptr;
        if (std::memcmp(from, kCapturePattern, kCaptureSize) == 0) return from;
        ++from;
    }
    return nullptr;
}

// True when, in the last bytes of the file, a run of pages linked by their
// declared sizes ends exactly at the end of the file. Nothing is hidden from
// libvorbisfile then, so no checksum needs checking: the usual case costs one
// read of the tail.
bool PagesRunToTheEnd(std::FILE* file, off_t fileSize) {
    unsigned char tail[kTailSize];
    const off_t tailStart = std::max<off_t>(0, fileSize - static_cast<off_t>(kTailSize));
    if (fseeko(file, tailStart, SEEK_SET) != 0) return false;
    const size_t count = std::fread(tail, 1, static_cast<size_t>(fileSize - tailStart), file);
    if (static_cast<off_t>(count) != fileSize - tailStart) return false;
    const unsigned char* end = tail + count;
    for (const unsigned char* start = FindCapture(tail, end); start != nullptr; start = FindCapture(start + 1, end)) {
        const unsigned char* page = start;
        while (const size_t size = DeclaredPageSize(page, static_cast<size_t>(end - page))) {
            if (size > static_cast<size_t>(end - page)) break;
            page += size;
            if (page == end) return true;
            if (static_cast<size_t>(end - page) < kCaptureSize || std::memcmp(page, kCapturePattern, kCaptureSize) != 0) break;
        }
    }
    return false;
}

// Size of the page starting at `offset` when it is complete and its checksum
// holds, else 0.
size_t ValidPageSizeAt(std::FILE* file, off_t offset) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, kLongestPage);
    size_t pageSize = 0;
    if (buffer != nullptr && fseeko(file, offset, SEEK_SET) == 0) {
        const size_t count = std::fread(buffer, 1, kLongestPage, file);
        ogg_sync_wrote(&sync, static_cast<long>(count));
        ogg_page page;
        const long found = ogg_sync_pageseek(&sync, &page);
        if (found > 0) pageSize = static_cast<size_t>(found);
    }
    ogg_sync_clear(&sync);
    return pageSize;
}

size_t ReadStream(void* destination, size_t size, size_t count, void* source) {
    auto* stream = static_cast<TrimmedStream*>(source);
    if (size == 0 || stream->position >= stream->end) return 0;
    const size_t visible = static_cast<size_t>(stream->end - stream->position) / size;
    const size_t read = std::fread(destination, size, std::min(count, visible), stream->file);
    stream->position += static_cast<off_t>(read * size);
    return read;
}

int SeekStream(void* source, ogg_int64_t offset, int whence) {
    auto* stream = static_cast<TrimmedStream*>(source);
    off_t target;
    switch (whence) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = stream->position + offset; break;
        case SEEK_END: target = stream->end + offset; break;
        default: return -1;
    }
    if (target < 0 || fseeko(stream->file, target, SEEK_SET) != 0) return -1;
    stream->position = target;
    return 0;
}

int CloseStream(void* source) { return std::fclose(static_cast<TrimmedStream*>(source)->file); }

long TellStream(void* source) { return static_cast<long>(static_cast<TrimmedStream*>(source)->position); }

// One backward pass in chunks: the first capture pattern from the end that
// starts a valid page marks the last page.
off_t EndOfLastOggPage(std::FILE* file, off_t fileSize) {
    const std::unique_ptr<char[]> chunk(new (std::nothrow) char[kScanChunk + kCaptureSize - 1]);
    if (!chunk) return fileSize;
    off_t chunkEnd = fileSize;
    while (chunkEnd > 0) {
        const off_t chunkStart = std::max<off_t>(0, chunkEnd - static_cast<off_t>(kScanChunk));
        // Three bytes of the following chunk too, so no capture pattern is split.
        const size_t wanted = static_cast<size_t>(std::min<off_t>(fileSize, chunkEnd + kCaptureSize - 1) - chunkStart);
        if (fseeko(file, chunkStart, SEEK_SET) != 0) break;
        const size_t count = std::fread(chunk.get(), 1, wanted, file);
        for (size_t i = count >= kCaptureSize ? count - kCaptureSize + 1 : 0; i-- > 0;) {
            if (std::memcmp(&chunk[i], kCapturePattern, kCaptureSize) != 0) continue;
            if (i + kVersionOffset < count && chunk[i + kVersionOffset] != 0) continue;  // cheap reject
            const off_t pageStart = chunkStart + static_cast<off_t>(i);
            if (const size_t pageSize = ValidPageSizeAt(file, pageStart)) return pageStart + static_cast<off_t>(pageSize);
        }
        chunkEnd = chunkStart;
    }
    return fileSize;
}

}  // namespace

TrimmedStream WholeStream(std::FILE* file) {
    TrimmedStream stream{file, 0, std::max<off_t>(0, ftello(file))};
    if (fseeko(file, 0, SEEK_END) == 0) stream.end = std::max<off_t>(0, ftello(file));
    fseeko(file, stream.position, SEEK_SET);
    return stream;
}

void TrimToLastOggPage(TrimmedStream& stream) {
    if (!PagesRunToTheEnd(stream.file, stream.end)) {
        // Never end the stream before what the reader has already read:
        // libvorbisfile would then search between a start past its end and
        // that end, and never finish. A short file read whole with the
        // headers ends where that read did, which hides all but a few
        // kilobytes of what follows its last page.
        const off_t lastPageEnd = EndOfLastOggPage(stream.file, stream.end);
        stream.end = std::min(stream.end, std::max(lastPageEnd, stream.position));
    }
    fseeko(stream.file, stream.position, SEEK_SET);
}

const ov_callbacks kTrimmedStreamCallbacks = {ReadStream, SeekStream, CloseStream, TellStream};
