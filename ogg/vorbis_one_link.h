// The reading of a file of one link: libvorbisfile 1.3.7's answer, had the
// way ov_open has it, from the pages it reads, without unpacking codebooks.
// Its steps are ov_open's, read from lib/vorbisfile.c: _fetch_headers for
// the first link (the setup header judged by ogg/vorbis_setup_check.h, the
// comments by ogg/vorbis_comment_packet.h), _initial_pcmoffset, the first
// chunk of _get_prev_page_serial from the end, and the one-link branch of
// _bisect_forward_serialno; ov_raw_seek, with which _open_seekable2 ends,
// cannot fail on a file (its position lies within it). Where any step is
// not a one-link file's, the reading stops and says why, and libvorbisfile
// decides (ogg/vorbis_file.h).
#pragma once

#include "frame/tag_record.h"
#include "ogg/file_window.h"

namespace cvx::ogg {

// How the reading ended: answered, or why it left the file to libvorbisfile.
enum class OneLinkVorbis {
    kAnswered,
    kNoHeaders,          // _fetch_headers would fail: no Vorbis headers libvorbis takes
    kOtherStreams,       // the link holds another logical stream beside the Vorbis one
    kNoPageAtTheEnd,     // no page begins in the last chunk: libvorbisfile steps further back
    kMoreThanOneLink,    // the last page is another stream's: a chain, or a stray page
    kFarToTheFirstSound, // past kLongestRunRead of pages to the first granule position
    kUnreadable,         // the file could not be read, or memory ran out
};

// The road's name, for reports: "answered", "no headers", ...
const char* NameOf(OneLinkVorbis road);

// The answer: ov_time_total(-1), and the tags the record rules take from
// ov_comment(-1) (ogg/vorbis_file_info.h), in `tags`; its other fields are
// left alone. Neither is set unless the answer is kAnswered.
OneLinkVorbis ReadOneLinkVorbis(FileWindows& file, double& totalSeconds, TagRecord& tags);

}  // namespace cvx::ogg
