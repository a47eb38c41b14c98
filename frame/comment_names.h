// The Vorbis comment names every reader takes values from, and where each
// value goes in the record. Names compare case-insensitively on ASCII letters
// only; bytes above 0x7F must match exactly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tag_record.h"

namespace cvx {

enum class CommentTarget { kYear, kTitle, kArtist, kAlbum, kComment, kGenre, kTrack };

// The target of comment name `name` (`length` bytes, no '='), or false when
// the name is not one of DATE, TITLE, ARTIST, ALBUM, COMMENT, GENRE and
// TRACKNUMBER.
bool FindCommentTarget(const char* name, size_t length, CommentTarget& target);

// The text field of a text target, or null for year and track.
char* TextFieldOf(TagRecord& record, CommentTarget target);

// The number field of year and track, or null for text targets.
int32_t* NumberFieldOf(TagRecord& record, CommentTarget target);

}  // namespace cvx
