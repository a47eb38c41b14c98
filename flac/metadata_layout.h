// The start of a FLAC file, as the readers and the tests' builders see it:
//   "fLaC", then metadata blocks, each a header (last-block flag[1 bit]
//   type[7 bits] length[24 bits]) and a body of that length; the first block
//   is STREAMINFO, whose body is 34 bytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx::flac {

inline constexpr char kFlacStreamMarker[] = "fLaC";
inline constexpr size_t kFlacStreamMarkerSize = 4;
inline constexpr size_t kFlacBlockHeaderSize = 4;
inline constexpr uint8_t kFlacLastBlockFlag = 0x80;
inline constexpr uint8_t kFlacBlockTypeMask = 0x7F;
inline constexpr size_t kFlacStreamInfoSize = 34;
// Where the first block after STREAMINFO starts.
inline constexpr size_t kFlacStreamInfoEnd = kFlacStreamMarkerSize + kFlacBlockHeaderSize + kFlacStreamInfoSize;

inline constexpr uint8_t kStreamInfoType = 0;
inline constexpr uint8_t kPaddingType = 1;
inline constexpr uint8_t kApplicationType = 2;
inline constexpr uint8_t kSeekTableType = 3;
inline constexpr uint8_t kVorbisCommentType = 4;
inline constexpr uint8_t kCueSheetType = 5;
inline constexpr uint8_t kPictureType = 6;

}  // namespace cvx::flac
