// The FLAC reader: reads the stream information and every Vorbis comment
// block through libFLAC's metadata interface, converts the values to the
// ANSI code page joining repeated names with ", ", and falls back to an
// ID3v1 tag when title, artist or album is still empty.
#pragma once

#include <FLAC/format.h>

#include "frame/record_file_info.h"

namespace cvx::flac {

class FlacFileInfo : public RecordFileInfo {
public:
    // 0 when the stream information was read, whether or not any tag was
    // found; 1 otherwise. Deliberate: every field but path and fileSize is
    // emptied before anything can fail, where OGG keeps the last file's
    // fields. Pinned by FlacPlugin.ReopeningResetsEveryField.
    // The answer is libFLAC's: FLAC__metadata_get_streaminfo's, whether it
    // is asked or the metadata walk vouches for it (flac/metadata_walk.h).
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// The rules by which the reader turns libFLAC's answers into the record.

// total samples / sample rate, in the int32 field's low 32 bits; 0 at a
// sample rate of 0.
int32_t LengthSeconds(const FLAC__StreamMetadata_StreamInfo& info);

// Every entry "NAME=value" of one VORBIS_COMMENT block, in stored order, by
// the rules of comment/ansi_comment.h.
void TakeCommentBlock(TagRecord& record, const FLAC__StreamMetadata_VorbisComment& comment);

// The ID3v1 fallback: when title, artist or album is empty, the tag at the
// end of the file, if there is one, replaces them (flac/id3v1.h).
void TakeId3v1WhereLacking(TagRecord& record);

}  // namespace cvx::flac
