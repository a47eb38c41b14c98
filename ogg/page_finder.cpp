#include "ogg/page_finder.h"

#include <algorithm>
#include <cstring>

#include "ogg/page_checksum.h"
#include "ogg/page_layout.h"

namespace cvx::ogg {

namespace {

constexpr int64_t kCapture = static_cast<int64_t>(kOggCaptureSize);
constexpr int64_t kHeader = static_cast<int64_t>(kOggPageHeaderSize);

uint32_t StoredChecksum(const unsigned char* page) {
    const unsigned char* field = page + kOggChecksumOffset;
    return uint32_t{field[0]} | uint32_t{field[1]} << 8 | uint32_t{field[2]} << 16 | uint32_t{field[3]} << 24;
}

// Where the next capture pattern lying wholly before `searchEnd` begins, at
// or after `at`: its offset, -1 when there is none, -2 when the file cannot
// be read.
int64_t NextCapture(FileWindow& window, int64_t at, int64_t searchEnd) {
    for (;;) {
        if (searchEnd - at < kCapture) return -1;
        if (!window.Reach(at + kCapture)) return -2;
        const int64_t heldEnd = std::min(window.end(), searchEnd);
        if (const unsigned char* capture = FindCapturePattern(window.At(at), window.At(heldEnd))) {
            return at + (capture - window.At(at));
        }
        if (heldEnd >= searchEnd) return -1;
        at = heldEnd - (kCapture - 1);  // a pattern may begin in what is held and end after it
        if (!window.Reach(heldEnd + 1)) return -2;
    }
}

}  // namespace

const unsigned char* FindCapturePattern(const unsigned char* from, const unsigned char* end) {
    while (end - from >= kCapture) {
        from = static_cast<const unsigned char*>(std::memchr(from, kOggCapturePattern[0], static_cast<size_t>(end - from)));
        if (from == nullptr || end - from < kCapture) return nullptr;
        if (std::memcmp(from, kOggCapturePattern, kOggCaptureSize) == 0) return from;
        ++from;
    }
    return nullptr;
}

PageSearch FindLastPage(FileWindows& file, int64_t chunkBytes, LastPage& last) {
    const int64_t fileSize = file.head.fileSize();
    const int64_t chunkStart = std::max<int64_t>(0, fileSize - chunkBytes);
    file.tail.StartAt(chunkStart, &file.head);
    if (!file.tail.Reach(fileSize)) return PageSearch::kUnreadable;  // all of it is searched
    bool found = false;
    FoundPage page;
    for (int64_t at = chunkStart; at < fileSize;) {
        const PageSearch search = FindPage(file.tail, at, fileSize, fileSize, page);
        if (search == PageSearch::kUnreadable) return search;
        if (search != PageSearch::kFound) break;
        found = true;
        last = {page.offset, page.size, ogg_page_serialno(&page.page), ogg_page_granulepos(&page.page)};
        at = page.offset + page.size;
    }
    return found ? PageSearch::kFound : PageSearch::kNone;
}

PageSearch FindPage(FileWindow& window, int64_t from, int64_t beginBefore, int64_t dataEnd, FoundPage& found) {
    dataEnd = std::min(dataEnd, window.fileSize());
    window.Release(from);
    // A capture pattern at or past the boundary is not looked at, so neither
    // are the bytes after the last one that could begin before it.
    const bool bounded = beginBefore >= 0 && beginBefore + kCapture - 1 < dataEnd;
    const int64_t searchEnd = bounded ? beginBefore + kCapture - 1 : dataEnd;
    for (int64_t at = from;; ++at) {
        at = NextCapture(window, at, searchEnd);
        if (at == -2) return PageSearch::kUnreadable;
        if (at == -1) return bounded ? PageSearch::kNotBefore : PageSearch::kNone;
        if (beginBefore >= 0 && at >= beginBefore) return PageSearch::kNotBefore;

        // libogg waits for the header, then its lacing values, then the body.
        if (at + kHeader > dataEnd) return PageSearch::kNone;
        if (!window.Reach(at + kHeader)) return PageSearch::kUnreadable;
        const int64_t segments = window.At(at)[kOggSegmentCountOffset];
        const int64_t headerSize = kHeader + segments;
        if (at + headerSize > dataEnd) return PageSearch::kNone;
        if (!window.Reach(at + headerSize)) return PageSearch::kUnreadable;
        int64_t bodySize = 0;
        for (const unsigned char* lacing = window.At(at + kHeader); lacing != window.At(at + headerSize); ++lacing) {
            bodySize += *lacing;
        }
        if (at + headerSize + bodySize > dataEnd) return PageSearch::kNone;
        if (!window.Reach(at + headerSize + bodySize)) return PageSearch::kUnreadable;

        unsigned char* const header = const_cast<unsigned char*>(window.At(at));  // libogg only reads it
        if (PageChecksum(header, static_cast<size_t>(headerSize), header + headerSize, static_cast<size_t>(bodySize)) !=
            StoredChecksum(header)) {
            continue;  // not a page: on from the byte after its capture pattern
        }
        found.offset = at;
        found.size = headerSize + bodySize;
        found.page.header = header;
        found.page.header_len = static_cast<long>(headerSize);
        found.page.body = header + headerSize;
        found.page.body_len = static_cast<long>(bodySize);
        return PageSearch::kFound;
    }
}

}  // namespace cvx::ogg
