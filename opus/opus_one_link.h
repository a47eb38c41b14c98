// The reading of a file of one link: libopusfile 0.12's answer, had the way
// op_open_callbacks has it, from the pages it reads, without creating a
// decoder. Its steps are op_open1's and op_open2's, read from
// src/opusfile.c: op_fetch_headers (the headers parsed by libopusfile's own
// opus_head_parse and opus_tags_parse), op_find_initial_pcm_offset, the
// first chunk of op_get_prev_page_serial from the end, the one-link branch
// of op_bisect_forward_serialno and op_find_final_pcm_offset where the last
// page has a granule position; and the one refusal op_make_decode_ready
// makes of a header opus_head_parse took (more streams than a
// multistream decoder takes). Where any step is not a one-link file's, the
// reading stops and says why, and libopusfile decides.
//
// The one way its answer can differ from op_open's: op_open also creates
// the decoder, and fails when memory for it runs out.
#pragma once

#include "frame/tag_record.h"
#include "ogg/file_window.h"

namespace cvx::opus {

// How the reading ended: answered, or why it left the file to libopusfile.
enum class OneLinkOpus {
    kAnswered,
    kNoHeaders,          // op_fetch_headers or the decoder would fail
    kOtherStreams,       // the link holds another logical stream beside the Opus one
    kBadTimestamp,       // op_find_initial_pcm_offset or op_find_final_pcm_offset would fail
    kNoPageAtTheEnd,     // no page begins in the last chunk: libopusfile steps further back
    kMoreThanOneLink,    // the last page is another stream's: a chain, or a stray page
    kNoEndGranule,       // the last page has no granule position: libopusfile searches back
    kFarToTheFirstSound, // past the limit of pages to the first packet of sound
    kUnreadable,         // the file could not be read, or memory ran out
};

// The road's name, for reports: "answered", "no headers", ...
const char* NameOf(OneLinkOpus road);

// The answer: op_pcm_total(-1) in `totalSamples`, and `tags` emptied and
// given the first link's comments by the record rules
// (opus/opus_file_info.h); its other fields are left alone. Neither is set
// unless the answer is kAnswered.
OneLinkOpus ReadOneLinkOpus(ogg::FileWindows& file, int64_t& totalSamples, TagRecord& tags);

}  // namespace cvx::opus
