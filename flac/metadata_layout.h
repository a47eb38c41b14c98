// The start of a FLAC file, as the readers and the tests' builders see it:
//   "fLaC", then metadata blocks, each a header (last-block flag[1 bit]
//   type[7 bits] length[24 bits]) and a body of that length; the first block
//   is STREAMINFO. Sizes and block types are libFLAC's own.
#pragma once

#include <FLAC/format.h>

#include <cstddef>
#include <cstdint>

namespace cvx::flac {

inline constexpr size_t kFlacStreamMarkerSize = FLAC__STREAM_SYNC_LENGTH;  // FLAC__STREAM_SYNC_STRING
inline constexpr size_t kFlacBlockHeaderSize = FLAC__STREAM_METADATA_HEADER_LENGTH;
inline constexpr uint8_t kFlacLastBlockFlag = 0x80;  // the header's first bit
inline constexpr uint8_t kFlacBlockTypeMask = 0x7F;  // and the 7 after it
inline constexpr size_t kFlacStreamInfoSize = FLAC__STREAM_METADATA_STREAMINFO_LENGTH;
// Where the first block after STREAMINFO starts.
inline constexpr size_t kFlacStreamInfoEnd = kFlacStreamMarkerSize + kFlacBlockHeaderSize + kFlacStreamInfoSize;

inline constexpr uint8_t kStreamInfoType = FLAC__METADATA_TYPE_STREAMINFO;
inline constexpr uint8_t kPaddingType = FLAC__METADATA_TYPE_PADDING;
inline constexpr uint8_t kApplicationType = FLAC__METADATA_TYPE_APPLICATION;
inline constexpr uint8_t kSeekTableType = FLAC__METADATA_TYPE_SEEKTABLE;
inline constexpr uint8_t kVorbisCommentType = FLAC__METADATA_TYPE_VORBIS_COMMENT;
inline constexpr uint8_t kCueSheetType = FLAC__METADATA_TYPE_CUESHEET;
inline constexpr uint8_t kPictureType = FLAC__METADATA_TYPE_PICTURE;

}  // namespace cvx::flac
