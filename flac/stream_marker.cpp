#include "flac/stream_marker.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "flac/metadata_layout.h"

namespace cvx::flac {

namespace {

// ID3v2 header: "ID3" version[2] flags[1] size[4], the size in 7-bit bytes
// and counting neither this header nor the footer that flag 0x10 announces.
constexpr char kId3v2Id[] = "ID3";
constexpr size_t kId3v2IdSize = 3;
constexpr size_t kId3v2HeaderSize = 10;
constexpr size_t kId3v2FlagsOffset = 5;
constexpr size_t kId3v2SizeOffset = 6;
constexpr uint8_t kId3v2FooterFlag = 0x10;
constexpr size_t kId3v2FooterSize = 10;

// Leading junk tolerated before the marker; real files have none.
constexpr size_t kSearchWindow = 64 * 1024;

// Bytes the ID3v2 tag at the start of `header` takes, or 0 without one.
off_t Id3v2TagSize(const uint8_t* header, size_t available) {
    if (available < kId3v2HeaderSize || std::memcmp(header, kId3v2Id, kId3v2IdSize) != 0) return 0;
    off_t size = 0;
    for (size_t i = 0; i < 4; ++i) size = (size << 7) | (header[kId3v2SizeOffset + i] & 0x7F);
    size += kId3v2HeaderSize;
    if (header[kId3v2FlagsOffset] & kId3v2FooterFlag) size += kId3v2FooterSize;
    return size;
}

}  // namespace

bool FlacMarkerNearStart(std::FILE* file) {
    // A usual file is settled by one read of its first bytes.
    uint8_t start[kId3v2HeaderSize + kFlacStreamMarkerSize];
    const size_t count = std::fread(start, 1, sizeof start, file);
    if (count >= kFlacStreamMarkerSize && std::memcmp(start, kFlacStreamMarker, kFlacStreamMarkerSize) == 0) return true;

    // Real files have the marker right after any ID3v2 tag; only others need
    // the window.
    const off_t streamStart = Id3v2TagSize(start, count);
    const size_t windowSize = kSearchWindow + kFlacStreamMarkerSize;
    const std::unique_ptr<uint8_t[]> window(new (std::nothrow) uint8_t[windowSize]);
    if (!window || fseeko(file, streamStart, SEEK_SET) != 0) return false;
    const uint8_t* begin = window.get();
    const uint8_t* end = begin + std::fread(window.get(), 1, windowSize, file);
    return std::search(begin, end, kFlacStreamMarker, kFlacStreamMarker + kFlacStreamMarkerSize) != end;
}

}  // namespace cvx::flac
