// The Vorbis comment rules of the readers that convert to the ANSI code
// page (FLAC, OPUS): one entry "NAME=value" at a time into the record.
#pragma once

#include <cstddef>

#include "frame/tag_record.h"

namespace cvx::comment {

// One comment entry "NAME=value" of `length` bytes. The name ends at the
// first '=' before any NUL; entries with no name matched, no '=' or an empty
// value are skipped. Deliberate: repeated names are joined with ", " and an
// empty value leaves the field as it was, where OGG keeps the last and
// empties the field; DATE and TRACKNUMBER take their leading number, the
// last one winning. Pinned by FlacPlugin.JoinsRepeatedNamesAndLetTheLastNumberWin
// and FlacPlugin.SkipsEmptyValuesAndEntriesWithoutEquals.
void TakeAnsiComment(TagRecord& record, const char* text, size_t length);

}  // namespace cvx::comment
