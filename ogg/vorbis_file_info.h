// The Ogg Vorbis reader: opens a file through libvorbisfile and fills the
// record with its size, playing time and Vorbis comment values narrowed to
// ISO 8859-1.
#pragma once

#include <vorbis/vorbisfile.h>

#include "frame/record_file_info.h"

namespace cvx::ogg {

class VorbisFileInfo : public RecordFileInfo {
public:
    // 0 when the file was read as Ogg Vorbis, 1 otherwise. A file
    // libvorbisfile refuses as not Vorbis whose first stream is Opus is
    // read as OPUS.cvx reads it instead, its record OPUS.cvx's
    // (ogg/opus_in_ogg.h). On any other failure path and fileSize are
    // current and every other field keeps its old value.
    // Deliberate: a failure keeps the last file's length and tags, where
    // FLAC empties them. Pinned by
    // OggPlugin.AFailedOpenUpdatesPathAndSizeAndKeepsTheRest.
    // The answer is libvorbisfile's on the file as it is (README.md, "What
    // the readers answer").
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// ov_time_total's result in whole seconds: truncated toward zero, 0 for
// OV_EINVAL (not seekable) and for a value that is not finite, the low
// 32 bits of the integer part beyond int32's range.
int32_t WholeSeconds(double totalSeconds);

// The length and the tags of `record` from `vorbis`, opened: the length
// from ov_time_total(-1), the tags emptied and then taken from the comments
// of ov_comment(-1), the first logical stream's. Deliberate: a later comment
// of a name replaces the earlier value and 'TITLE=' empties the title, where
// FLAC and OPUS join repeated names and skip empty values. Pinned by
// OggPlugin.TheLastCommentOfANameWins.
void TakeLengthAndTags(TagRecord& record, OggVorbis_File& vorbis);

// One comment of `length` bytes as TakeLengthAndTags takes it, split as
// comment/comment_names.h splits it, its value read as C text (to its
// first NUL, as libvorbis keeps it); other names and comments without '='
// are ignored.
void TakeComment(TagRecord& record, const char* text, size_t length);

}  // namespace cvx::ogg
