// The Ogg page header, as the reader's page scan and the tests' damage
// builders see it:
//   "OggS" version[1] type[1] granule[8] serial[4] sequence[4] crc[4]
//   segments[1] lacing[segments], then the body.
#pragma once

#include <cstddef>

namespace cvx::ogg {

inline constexpr char kOggCapturePattern[] = "OggS";
inline constexpr size_t kOggCaptureSize = 4;
inline constexpr size_t kOggVersionOffset = 4;  // always 0
inline constexpr size_t kOggHeaderTypeOffset = 5;
inline constexpr unsigned char kOggBeginsStream = 0x02;  // the header type's flag for a stream's first page
inline constexpr size_t kOggGranuleOffset = 6;  // 64 bits, little-endian; -1: no packet ends here
inline constexpr size_t kOggSerialOffset = 14;  // 32 bits, little-endian
inline constexpr size_t kOggChecksumOffset = 22;  // CRC-32 of the page with this field zeroed
inline constexpr size_t kOggChecksumSize = 4;
inline constexpr size_t kOggSegmentCountOffset = 26;
inline constexpr size_t kOggPageHeaderSize = 27;  // then the lacing values, one per segment
inline constexpr size_t kOggLongestPage = kOggPageHeaderSize + 255 + 255 * 255;

}  // namespace cvx::ogg
