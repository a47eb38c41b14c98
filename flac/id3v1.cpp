#include "flac/id3v1.h"

#include <cstdio>
#include <cstring>

#include "flac/genres.h"
#include "frame/leading_number.h"
#include "frame/platform/regular_file.h"

namespace {

// ID3v1 tag, the last 128 bytes of the file:
//   "TAG" title[30] artist[30] album[30] year[4] comment[30] genre[1]
// ID3v1.1 takes the last two comment bytes for a 0 marker and a track number.
constexpr long kTagSize = 128;
constexpr char kTagId[] = "TAG";
constexpr size_t kTagIdSize = 3;
constexpr size_t kTitleOffset = 3;
constexpr size_t kArtistOffset = 33;
constexpr size_t kAlbumOffset = 63;
constexpr size_t kYearOffset = 93;
constexpr size_t kCommentOffset = 97;
constexpr size_t kTrackMarkerOffset = 125;  // 0 in ID3v1.1
constexpr size_t kTrackOffset = 126;
constexpr size_t kGenreOffset = 127;
constexpr uint32_t kTextSize = 30;
constexpr size_t kYearSize = 4;

}  // namespace

void CopyTrimmed(char* dst, const char* src, uint32_t n) {
    size_t length = strnlen(src, n);
    while (length > 0 && src[length - 1] == ' ') --length;
    std::memcpy(dst, src, length);
    dst[length] = '\0';
}

int32_t ReadId3v1Tag(TagRecord& record) {
    FilePtr file = OpenRegularFileForReading(record.path);
    if (!file) return 1;
    std::setvbuf(file.get(), nullptr, _IONBF, 0);  // one read of the tag, no more
    unsigned char tag[kTagSize];
    // A file shorter than a tag has none: the seek fails.
    const bool complete = fseeko(file.get(), -kTagSize, SEEK_END) == 0 &&
                          std::fread(tag, 1, sizeof tag, file.get()) == sizeof tag;
    file.reset();
    if (!complete || std::memcmp(tag, kTagId, kTagIdSize) != 0) return 0;

    const char* bytes = reinterpret_cast<const char*>(tag);
    CopyTrimmed(record.title, bytes + kTitleOffset, kTextSize);
    CopyTrimmed(record.artist, bytes + kArtistOffset, kTextSize);
    CopyTrimmed(record.album, bytes + kAlbumOffset, kTextSize);
    CopyTrimmed(record.comment, bytes + kCommentOffset, kTextSize);
    record.year = LeadingDecimalNumber(bytes + kYearOffset, kYearSize);
    if (tag[kTrackMarkerOffset] == 0) record.track = tag[kTrackOffset];
    GenreName(record.genre, tag[kGenreOffset]);
    return 0;
}
