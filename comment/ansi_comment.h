// The Vorbis comment rules of the readers that convert to the ANSI code
// page (FLAC, OPUS; M4A for its items): one entry "NAME=value" at a time
// into the record.
#pragma once

#include <cstddef>

#include "comment/comment_names.h"
#include "frame/tag_record.h"

namespace cvx::comment {

// One comment entry "NAME=value" of `length` bytes, split as
// comment/comment_names.h splits it; a value that is empty or begins with a
// NUL is skipped. Deliberate: FLAC and OPUS join repeated names with ", " and
// leave a field as it was for an empty value, where OGG keeps the last value
// and empties the field; DATE and TRACKNUMBER take their leading number, the
// last one winning, in all three. Pinned by
// FlacPlugin.JoinsRepeatedNamesAndLetTheLastNumberWin,
// FlacPlugin.SkipsEmptyValuesAndEntriesWithoutEquals and
// AnsiComment.AValueBeginningWithANulIsSkipped.
void TakeAnsiComment(TagRecord& record, const char* text, size_t length);

// One value of `length` bytes for `target`, by the same rules: skipped when
// empty or beginning with a NUL; a number taken by its leading digits, the
// last one winning; text converted and joined after ", ". For readers whose
// values come already named (M4A's items).
void TakeAnsiValue(TagRecord& record, CommentTarget target, const char* value, size_t length);

}  // namespace cvx::comment
