// The ID3v1 tag, the last 128 bytes of a file, as the reader and the tests'
// builder see it:
//   "TAG" title[30] artist[30] album[30] year[4] comment[30] genre[1]
// ID3v1.1 takes the last two comment bytes for a 0 marker and a track number.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx::flac {

inline constexpr size_t kId3v1Size = 128;
inline constexpr char kId3v1Id[] = "TAG";
inline constexpr size_t kId3v1IdSize = 3;
inline constexpr size_t kId3v1TitleOffset = 3;
inline constexpr size_t kId3v1ArtistOffset = 33;
inline constexpr size_t kId3v1AlbumOffset = 63;
inline constexpr size_t kId3v1YearOffset = 93;
inline constexpr size_t kId3v1CommentOffset = 97;
inline constexpr size_t kId3v1TrackMarkerOffset = 125;  // 0 in ID3v1.1
inline constexpr size_t kId3v1TrackOffset = 126;
inline constexpr size_t kId3v1GenreOffset = 127;
inline constexpr uint32_t kId3v1TextSize = 30;
inline constexpr uint32_t kId3v1_1CommentSize = 28;
inline constexpr size_t kId3v1YearSize = 4;

}  // namespace cvx::flac
