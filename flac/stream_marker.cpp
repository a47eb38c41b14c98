#include "flac/stream_marker.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/platform/regular_file.h"

namespace {

// ID3v2 header: "ID3" version[2] flags[1] size[4], the size in 7-bit bytes
// and counting neither this header nor the footer that flag 0x10 announces.
constexpr size_t kId3v2HeaderSize = 10;
constexpr size_t kId3v2FlagsOffset = 5;
constexpr size_t kId3v2SizeOffset = 6;
constexpr uint8_t kId3v2FooterFlag = 0x10;
constexpr size_t kId3v2FooterSize = 10;

constexpr char kStreamMarker[] = "fLaC";
constexpr size_t kStreamMarkerSize = 4;
// Leading junk tolerated before the marker; real files have none.
constexpr size_t kSearchWindow = 64 * 1024;

// Bytes the ID3v2 tag at the start of `header` takes, or 0 without one.
off_t Id3v2TagSize(const uint8_t* header, size_t available) {
    if (available < kId3v2HeaderSize || std::memcmp(header, "ID3", 3) != 0) return 0;
    off_t size = 0;
    for (size_t i = 0; i < 4; ++i) size = (size << 7) | (header[kId3v2SizeOffset + i] & 0x7F);
    size += kId3v2HeaderSize;
    if (header[kId3v2FlagsOffset] & kId3v2FooterFlag) size += kId3v2FooterSize;
    return size;
}

}  // namespace

bool FlacMarkerNearStart(const char* path) {
    FilePtr file = OpenRegularFileForReading(path);
    if (!file) return false;
    std::vector<uint8_t> window(kSearchWindow + kStreamMarkerSize);
    size_t count = std::fread(window.data(), 1, window.size(), file.get());

    const off_t streamStart = Id3v2TagSize(window.data(), count);
    if (streamStart > 0) {
        if (fseeko(file.get(), streamStart, SEEK_SET) != 0) return false;
        count = std::fread(window.data(), 1, window.size(), file.get());
    }
    const auto end = window.begin() + static_cast<long>(count);
    return std::search(window.begin(), end, kStreamMarker, kStreamMarker + kStreamMarkerSize) != end;
}
