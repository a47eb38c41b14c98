#include "flac/id3v1.h"

#include <cstdio>
#include <cstring>

#include "flac/genres.h"
#include "flac/id3v1_layout.h"
#include "frame/leading_number.h"
#include "frame/platform/regular_file.h"

namespace cvx::flac {

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
    unsigned char tag[kId3v1Size];
    // A file shorter than a tag has none: the seek fails.
    const bool complete = fseeko(file.get(), -static_cast<off_t>(kId3v1Size), SEEK_END) == 0 &&
                          std::fread(tag, 1, sizeof tag, file.get()) == sizeof tag;
    file.reset();
    if (!complete || std::memcmp(tag, kId3v1Id, kId3v1IdSize) != 0) return 0;

    const char* bytes = reinterpret_cast<const char*>(tag);
    CopyTrimmed(record.title, bytes + kId3v1TitleOffset, kId3v1TextSize);
    CopyTrimmed(record.artist, bytes + kId3v1ArtistOffset, kId3v1TextSize);
    CopyTrimmed(record.album, bytes + kId3v1AlbumOffset, kId3v1TextSize);
    CopyTrimmed(record.comment, bytes + kId3v1CommentOffset, kId3v1TextSize);
    record.year = LeadingDecimalNumber(bytes + kId3v1YearOffset, kId3v1YearSize);
    if (tag[kId3v1TrackMarkerOffset] == 0) record.track = tag[kId3v1TrackOffset];
    GenreName(record.genre, tag[kId3v1GenreOffset]);
    return 0;
}

}  // namespace cvx::flac
