#include "ogg/trimmed_stream.h"

#include <ogg/ogg.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Ogg page: "OggS" version[1] type[1] granule[8] serial[4] sequence[4]
// crc[4] segments[1] lacing[segments], then the body.
constexpr char kCapturePattern[] = "OggS";
constexpr size_t kCaptureSize = 4;
constexpr size_t kVersionOffset = 4;  // always 0
constexpr size_t kLongestPage = 27 + 255 + 255 * 255;
constexpr size_t kScanChunk = 64 * 1024;

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
    const off_t position = ftello(stream->file);
    if (size == 0 || position < 0 || position >= stream->end) return 0;
    const size_t visible = static_cast<size_t>(stream->end - position) / size;
    return std::fread(destination, size, std::min(count, visible), stream->file);
}

int SeekStream(void* source, ogg_int64_t offset, int whence) {
    auto* stream = static_cast<TrimmedStream*>(source);
    if (whence == SEEK_END) return fseeko(stream->file, stream->end + offset, SEEK_SET);
    return fseeko(stream->file, offset, whence);
}

int CloseStream(void* source) { return std::fclose(static_cast<TrimmedStream*>(source)->file); }

long TellStream(void* source) { return static_cast<long>(ftello(static_cast<TrimmedStream*>(source)->file)); }

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
    TrimmedStream stream{file, 0};
    const off_t position = ftello(file);
    if (fseeko(file, 0, SEEK_END) == 0) stream.end = std::max<off_t>(0, ftello(file));
    fseeko(file, position, SEEK_SET);
    return stream;
}

void TrimToLastOggPage(TrimmedStream& stream) {
    const off_t position = ftello(stream.file);
    stream.end = EndOfLastOggPage(stream.file, stream.end);
    fseeko(stream.file, position, SEEK_SET);
}

const ov_callbacks kTrimmedStreamCallbacks = {ReadStream, SeekStream, CloseStream, TellStream};
