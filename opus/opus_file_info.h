// The OPUS reader: opens the stream with libopusfile over the file the frame
// opened, takes the playing time of all links and the first link's comments,
// converted to the ANSI code page as FLAC's are.
#pragma once

#include <opusfile.h>

#include <cstdint>
#include <cstdio>

#include "frame/record_file_info.h"

namespace cvx::opus {

class OpusFileInfo : public RecordFileInfo {
public:
    // 0 when libopusfile opened the stream, whether or not any tag was
    // found; 1 otherwise. As in FLAC, every field but path and fileSize is
    // emptied before anything can fail. The answer is op_open_callbacks'
    // on the file as it is: nothing is read before it.
    int32_t CVX_THISCALL Open(const char* path) noexcept override;
};

// What OpusFileInfo::Open does once the frame opened the file: the length
// and tags of the Ogg Opus stream in `file`, `sizeBytes` long, into
// `record`, whose tags and length are emptied first; 0 when libopusfile
// opened it, 1 otherwise. OGG.cvx reads Opus streams named .ogg with it.
int32_t ReadOpusFile(TagRecord& record, std::FILE* file, int64_t sizeBytes);

// The rules by which the reader turns libopusfile's answers into the record.

// op_pcm_total's 48 kHz samples / 48,000, truncated, in the int32 field's
// low 32 bits; 0 for a negative answer (an error code).
int32_t LengthSeconds(ogg_int64_t totalSamples);

// Every comment of the link, in stored order, by the rules of
// comment/ansi_comment.h; no ID3v1 fallback.
void TakeTags(TagRecord& record, const OpusTags& tags);

}  // namespace cvx::opus
