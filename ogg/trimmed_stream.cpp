#include "ogg/trimmed_stream.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "ogg/page_layout.h"

namespace cvx::ogg {

namespace {

constexpr size_t kScanChunk = 64 * 1024;
// The tail read first: it holds the last page or two of any usual file.
constexpr size_t kTailSize = 16 * 1024;
// Runs between links shorter than this cost libvorbisfile little.
constexpr off_t kShortestHiddenRun = 1024 * 1024;

long SerialOf(const unsigned char* page) {
    return static_cast<long>(static_cast<uint32_t>(page[kOggSerialOffset]) | uint32_t{page[kOggSerialOffset + 1]} << 8 |
                             uint32_t{page[kOggSerialOffset + 2]} << 16 | uint32_t{page[kOggSerialOffset + 3]} << 24);
}

// Size of the page whose header starts at `page`, taken from its lacing
// values, or 0 when they do not lie within the `available` bytes.
size_t DeclaredPageSize(const unsigned char* page, size_t available) {
    if (available < kOggPageHeaderSize || page[kOggVersionOffset] != 0) return 0;
    const size_t segments = page[kOggSegmentCountOffset];
    if (available < kOggPageHeaderSize + segments) return 0;
    size_t size = kOggPageHeaderSize + segments;
    for (size_t i = 0; i < segments; ++i) size += page[kOggPageHeaderSize + i];
    return size;
}

const unsigned char* FindCapture(const unsigned char* from, const unsigned char* end) {
    while (end - from >= static_cast<ptrdiff_t>(kOggCaptureSize)) {
        from = static_cast<const unsigned char*>(std::memchr(from, kOggCapturePattern[0], static_cast<size_t>(end - from)));
        if (from == nullptr || end - from < static_cast<ptrdiff_t>(kOggCaptureSize)) return nullptr;
        if (std::memcmp(from, kOggCapturePattern, kOggCaptureSize) == 0) return from;
        ++from;
    }
    return nullptr;
}

// True when, in the last bytes of the file, a run of pages linked by their
// declared sizes ends exactly at the end of the file; `lastSerial` is then
// the last page's serial number. Nothing is hidden from libvorbisfile then,
// so no checksum needs checking: the usual case costs one read of the tail.
bool PagesRunToTheEnd(std::FILE* file, off_t fileSize, long& lastSerial) {
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
            lastSerial = SerialOf(page);
            page += size;
            if (page == end) return true;
            if (static_cast<size_t>(end - page) < kOggCaptureSize || std::memcmp(page, kOggCapturePattern, kOggCaptureSize) != 0) break;
        }
    }
    return false;
}

// Size of the page starting at `offset` when it is complete and its checksum
// holds, else 0; `serial` is then its serial number.
size_t ValidPageSizeAt(std::FILE* file, off_t offset, long& serial) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, kOggLongestPage);
    size_t pageSize = 0;
    if (buffer != nullptr && fseeko(file, offset, SEEK_SET) == 0) {
        const size_t count = std::fread(buffer, 1, kOggLongestPage, file);
        ogg_sync_wrote(&sync, static_cast<long>(count));
        ogg_page page;
        const long found = ogg_sync_pageseek(&sync, &page);
        if (found > 0) {
            pageSize = static_cast<size_t>(found);
            serial = ogg_page_serialno(&page);
        }
    }
    ogg_sync_clear(&sync);
    return pageSize;
}

// The file's offset of the byte the reader sees at `visible`.
off_t FileOffset(const TrimmedStream& stream, off_t visible) {
    off_t offset = visible;
    for (const HiddenRun& run : stream.hidden) {
        if (run.visibleAt > visible) break;
        offset += run.length;
    }
    return offset;
}

// Where the bytes visible from `visible` on stop being contiguous in the
// file: the next hidden run, or the end.
off_t ContiguousEnd(const TrimmedStream& stream, off_t visible) {
    for (const HiddenRun& run : stream.hidden) {
        if (run.visibleAt > visible) return std::min(run.visibleAt, stream.end);
    }
    return stream.end;
}

size_t ReadStream(void* destination, size_t size, size_t count, void* source) {
    auto* stream = static_cast<TrimmedStream*>(source);
    if (size == 0 || stream->position >= stream->end) return 0;
    const size_t wanted = std::min(count, static_cast<size_t>(stream->end - stream->position) / size) * size;
    auto* out = static_cast<char*>(destination);
    size_t done = 0;
    while (done < wanted) {
        const off_t contiguousEnd = ContiguousEnd(*stream, stream->position);
        const size_t piece = std::min(wanted - done, static_cast<size_t>(contiguousEnd - stream->position));
        const size_t read = std::fread(out + done, 1, piece, stream->file);
        done += read;
        stream->position += static_cast<off_t>(read);
        if (read < piece) break;
        // At a hidden run: on to the file's bytes the reader sees next.
        if (stream->position == contiguousEnd && contiguousEnd < stream->end &&
            fseeko(stream->file, FileOffset(*stream, stream->position), SEEK_SET) != 0) {
            break;
        }
    }
    return done / size;
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
    if (target < 0 || fseeko(stream->file, FileOffset(*stream, target), SEEK_SET) != 0) return -1;
    stream->position = target;
    return 0;
}

int CloseStream(void* source) { return std::fclose(static_cast<TrimmedStream*>(source)->file); }

long TellStream(void* source) { return static_cast<long>(static_cast<TrimmedStream*>(source)->position); }

// One backward pass in chunks: the first capture pattern from the end that
// starts a valid page marks the last page, whose serial is `lastSerial`.
off_t EndOfLastOggPage(std::FILE* file, off_t fileSize, long& lastSerial) {
    const std::unique_ptr<char[]> chunk(new (std::nothrow) char[kScanChunk + kOggCaptureSize - 1]);
    if (!chunk) return fileSize;
    off_t chunkEnd = fileSize;
    while (chunkEnd > 0) {
        const off_t chunkStart = std::max<off_t>(0, chunkEnd - static_cast<off_t>(kScanChunk));
        // Three bytes of the following chunk too, so no capture pattern is split.
        const size_t wanted = static_cast<size_t>(std::min<off_t>(fileSize, chunkEnd + kOggCaptureSize - 1) - chunkStart);
        if (fseeko(file, chunkStart, SEEK_SET) != 0) break;
        const size_t count = std::fread(chunk.get(), 1, wanted, file);
        for (size_t i = count >= kOggCaptureSize ? count - kOggCaptureSize + 1 : 0; i-- > 0;) {
            if (std::memcmp(&chunk[i], kOggCapturePattern, kOggCaptureSize) != 0) continue;
            if (i + kOggVersionOffset < count && chunk[i + kOggVersionOffset] != 0) continue;  // cheap reject
            const off_t pageStart = chunkStart + static_cast<off_t>(i);
            if (const size_t pageSize = ValidPageSizeAt(file, pageStart, lastSerial)) {
                return pageStart + static_cast<off_t>(pageSize);
            }
        }
        chunkEnd = chunkStart;
    }
    return fileSize;
}

// The first offset from `from` on where a valid page starts, or `end`: one
// forward pass in chunks.
off_t NextValidPage(std::FILE* file, off_t from, off_t end) {
    const std::unique_ptr<unsigned char[]> chunk(new (std::nothrow) unsigned char[kScanChunk]);
    if (!chunk) return from;  // hide nothing
    long serial;
    for (off_t chunkStart = from; chunkStart < end; chunkStart += kScanChunk - (kOggCaptureSize - 1)) {
        if (fseeko(file, chunkStart, SEEK_SET) != 0) return from;
        const size_t count = std::fread(chunk.get(), 1, static_cast<size_t>(std::min<off_t>(kScanChunk, end - chunkStart)), file);
        if (count < kOggCaptureSize) break;
        for (const unsigned char* at = FindCapture(chunk.get(), chunk.get() + count); at != nullptr;
             at = FindCapture(at + 1, chunk.get() + count)) {
            const off_t offset = chunkStart + (at - chunk.get());
            if (ValidPageSizeAt(file, offset, serial) > 0) return offset;
        }
        if (count < kScanChunk) break;
    }
    return end;
}

// The size of the page at `offset` as its header declares it, when its
// header lies there and it ends by `end`; else 0. The checksum is not
// checked: a page taken for one here only hides less.
size_t DeclaredPageSizeAt(std::FILE* file, off_t offset, off_t end) {
    unsigned char header[kOggPageHeaderSize + 255];
    if (fseeko(file, offset, SEEK_SET) != 0) return 0;
    const size_t count = std::fread(header, 1, static_cast<size_t>(std::min<off_t>(sizeof header, end - offset)), file);
    if (count < kOggCaptureSize || std::memcmp(header, kOggCapturePattern, kOggCaptureSize) != 0) return 0;
    const size_t size = DeclaredPageSize(header, count);
    return offset + static_cast<off_t>(size) <= end ? size : 0;
}

}  // namespace

TrimmedStream WholeStream(std::FILE* file) {
    TrimmedStream stream{file, 0, std::max<off_t>(0, ftello(file)), -1, {}};
    if (fseeko(file, 0, SEEK_END) == 0) stream.end = std::max<off_t>(0, ftello(file));
    fseeko(file, stream.position, SEEK_SET);
    return stream;
}

void TrimToLastOggPage(TrimmedStream& stream) {
    if (!PagesRunToTheEnd(stream.file, stream.end, stream.lastPageSerial)) {
        // Never end the stream before what the reader has already read:
        // libvorbisfile would then search between a start past its end and
        // that end, and never finish. A short file read whole with the
        // headers ends where that read did, which hides all but a few
        // kilobytes of what follows its last page.
        const off_t lastPageEnd = EndOfLastOggPage(stream.file, stream.end, stream.lastPageSerial);
        stream.end = std::min(stream.end, std::max(lastPageEnd, stream.position));
    }
    fseeko(stream.file, stream.position, SEEK_SET);
}

void HideGapsBetweenLinks(TrimmedStream& stream, off_t dataStart, const long* firstLinkSerials, int serialCount) {
    if (stream.lastPageSerial < 0 || !stream.hidden.empty()) return;
    if (std::find(firstLinkSerials, firstLinkSerials + std::max(0, serialCount), stream.lastPageSerial) !=
        firstLinkSerials + std::max(0, serialCount)) {
        return;  // one link: libvorbisfile searches no gap between links
    }
    off_t hiddenBytes = 0;
    for (off_t at = std::max<off_t>(0, dataStart); at < stream.end;) {
        if (const size_t size = DeclaredPageSizeAt(stream.file, at, stream.end)) {
            at += static_cast<off_t>(size);
            continue;
        }
        const off_t next = NextValidPage(stream.file, at, stream.end);
        if (next <= at) break;
        // Bytes already read stay where the reader read them.
        const off_t runStart = std::max(at, stream.position);
        if (next - runStart >= kShortestHiddenRun) {
            try {
                stream.hidden.push_back({runStart - hiddenBytes, next - runStart});
            } catch (const std::bad_alloc&) {
                break;  // hiding only saves time: the reader sees the rest as it is
            }
            hiddenBytes += next - runStart;
        }
        at = next;
    }
    stream.end -= hiddenBytes;
    fseeko(stream.file, FileOffset(stream, stream.position), SEEK_SET);
}

const ov_callbacks kTrimmedStreamCallbacks = {ReadStream, SeekStream, CloseStream, TellStream};

}  // namespace cvx::ogg
