#include "ogg/page_scan.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "ogg/page_checksum.h"
#include "ogg/page_finder.h"
#include "ogg/page_layout.h"
#include "ogg/read_limits.h"

namespace cvx::ogg {

namespace {

// Follows the capture patterns in file order and collects the runs that can
// be hidden. `floor_` is where a run may begin: past the bytes every capture
// pattern in view declares, and past the CHUNKSIZE libvorbisfile searches
// from the end of each page for the next header page.
class RunFinder {
public:
    RunFinder(int64_t fileSizeBytes, std::vector<FileRun>& runs)
        : fileSize_(fileSizeBytes), runs_(runs), floor_(SearchedFrom(0)) {}

    bool done() const { return done_; }

    void See(int64_t offset, Capture capture) {
        const CaptureKind kind = capture.kind;
        const int64_t end = offset + static_cast<int64_t>(capture.extentBytes);
        if (offset < floor_) {
            // In view: a page cut short by the end of the file stops the
            // search there, so nothing after it may change.
            if (kind == CaptureKind::kCutShort) return Stop();
            floor_ = std::max(floor_, kind == CaptureKind::kPage ? SearchedFrom(end) : end);
            return;
        }
        // Past the floor, a capture pattern that fails its checksum lies in
        // the run and is hidden with it; a page ends the run.
        if (kind == CaptureKind::kNoPage) {
            runReach_ = std::max(runReach_, end);
            return;
        }
        EndRunAt(offset);
        if (kind == CaptureKind::kCutShort) return Stop();
        floor_ = std::max(floor_, SearchedFrom(end));
    }

    void Finish() {
        if (!done_) EndRunAt(fileSize_);
    }

private:
    // From the end of a page libvorbisfile looks up to CHUNKSIZE bytes ahead
    // for the next header page; where that reaches the end of the file, it
    // sees all there is, hidden or not.
    int64_t SearchedFrom(int64_t pageEnd) const {
        return pageEnd + kVorbisfileChunkSize < fileSize_ ? pageEnd + kVorbisfileChunkSize : pageEnd;
    }

    void EndRunAt(int64_t offset) {
        if (offset - floor_ >= kShortestHiddenRun) {
            runs_.push_back({floor_, offset - floor_});
        } else {
            floor_ = std::max(floor_, runReach_);  // too short to hide: its capture patterns stay in view
        }
        runReach_ = 0;
    }

    void Stop() { done_ = true; }

    const int64_t fileSize_;
    std::vector<FileRun>& runs_;
    int64_t floor_;
    int64_t runReach_ = 0;  // the farthest byte a capture pattern in the current run declares
    bool done_ = false;
};

}  // namespace

Capture ClassifyCapture(const unsigned char* capture, size_t available) {
    constexpr Capture kCutShort{CaptureKind::kCutShort, 0};
    if (available < kOggPageHeaderSize) return kCutShort;
    const size_t segments = capture[kOggSegmentCountOffset];
    const size_t headerSize = kOggPageHeaderSize + segments;
    if (available < headerSize) return kCutShort;
    size_t bodySize = 0;
    for (size_t i = 0; i < segments; ++i) bodySize += capture[kOggPageHeaderSize + i];
    const size_t extentBytes = headerSize + bodySize;
    if (available < extentBytes) return kCutShort;

    const uint32_t computed = PageChecksum(capture, headerSize, capture + headerSize, bodySize);
    unsigned char stored[kOggChecksumSize];
    for (size_t i = 0; i < kOggChecksumSize; ++i) stored[i] = static_cast<unsigned char>(computed >> (8 * i));
    const bool holds = std::memcmp(stored, capture + kOggChecksumOffset, kOggChecksumSize) == 0;
    return {holds ? CaptureKind::kPage : CaptureKind::kNoPage, extentBytes};
}

std::vector<FileRun> FindPageFreeRuns(std::FILE* file, int64_t fileSizeBytes) {
    std::vector<FileRun> runs;
    const std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kRunScanChunk + kOggLongestPage]);
    if (!buffer) return runs;
    try {
        RunFinder finder(fileSizeBytes, runs);
        for (int64_t chunkStart = 0; chunkStart < fileSizeBytes && !finder.done();
             chunkStart += static_cast<int64_t>(kRunScanChunk)) {
            const size_t wanted = static_cast<size_t>(
                std::min<int64_t>(static_cast<int64_t>(kRunScanChunk + kOggLongestPage), fileSizeBytes - chunkStart));
            if (fseeko(file, static_cast<off_t>(chunkStart), SEEK_SET) != 0 ||
                std::fread(buffer.get(), 1, wanted, file) != wanted) {
                return {};
            }
            const unsigned char* const dataEnd = buffer.get() + wanted;
            // Every capture pattern that starts in this chunk.
            const unsigned char* const searchEnd =
                std::min<const unsigned char*>(buffer.get() + kRunScanChunk + kOggCaptureSize - 1, dataEnd);
            for (const unsigned char* at = FindCapturePattern(buffer.get(), searchEnd); at != nullptr && !finder.done();
                 at = FindCapturePattern(at + 1, searchEnd)) {
                finder.See(chunkStart + (at - buffer.get()), ClassifyCapture(at, static_cast<size_t>(dataEnd - at)));
            }
        }
        finder.Finish();
    } catch (const std::bad_alloc&) {
        return {};  // hiding only saves time
    }
    return runs;
}

}  // namespace cvx::ogg
