// The Vorbis comment names every reader takes values from, where each value
// goes in the record, and the split of an entry into the two: what OGG,
// FLAC and OPUS share of the comment rules. Only the value step differs
// between them (ogg/vorbis_file_info.h, comment/ansi_comment.h). Names
// compare case-insensitively on ASCII letters only; bytes above 0x7F must
// match exactly.
#pragma once

#include <cstddef>
#include <cstdint>

#include "frame/tag_record.h"

namespace cvx::comment {

enum class CommentTarget { kYear, kTitle, kArtist, kAlbum, kComment, kGenre, kTrack };

// The target of comment name `name` (`length` bytes, no '='), or false when
// the name is not one of DATE, TITLE, ARTIST, ALBUM, COMMENT, GENRE and
// TRACKNUMBER.
bool FindCommentTarget(const char* name, size_t length, CommentTarget& target);

// The text field of a text target, or null for year and track.
char* TextFieldOf(TagRecord& record, CommentTarget target);

// The number field of year and track, or null for text targets.
int32_t* NumberFieldOf(TagRecord& record, CommentTarget target);

// An entry "NAME=value" of `length` bytes split: the name ends at the first
// '=', which no NUL may come before; the value is every byte after it, up to
// `length` (the value steps stop at a NUL of their own). False, and nothing
// set, when there is no such '=' or the name is none of the seven; a value
// is never looked at, so long ones (lyrics, pictures) cost nothing.
struct CommentValue {
    CommentTarget target;
    const char* value;
    size_t length;
};
bool SplitComment(const char* text, size_t length, CommentValue& split);

}  // namespace cvx::comment
