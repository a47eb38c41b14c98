// One walk over a FLAC file's metadata blocks with libFLAC's simple iterator.
// The iterator moves from block to block by seeking over their bodies, so
// cover art and padding cost no reads; FLAC__metadata_get_streaminfo runs the
// stream decoder instead, which reads every byte up to the first audio frame.
// The walk keeps the first block's stream information and tells whether that
// call would answer with the same: it vouches only for metadata the decoder
// is known to take as the iterator does.
#pragma once

#include <FLAC/format.h>

#include <cstdint>
#include <optional>

namespace cvx::flac {

// Called with every VORBIS_COMMENT block that could be copied, in file order.
using CommentBlockVisitor = void (*)(const FLAC__StreamMetadata_VorbisComment& comment, void* context);

// Walks every block of `flacName` (`fileSizeBytes` long) and hands each
// VORBIS_COMMENT block to `visit` (when not null). Returns the stream
// information FLAC__metadata_get_streaminfo gives for the file when the walk
// can vouch for that call's answer, and nothing when it cannot (the call must
// then be asked). Everything the walk opens is released before it returns.
std::optional<FLAC__StreamMetadata_StreamInfo> WalkMetadata(const char* flacName, int64_t fileSizeBytes,
                                                            CommentBlockVisitor visit, void* context);

}  // namespace cvx::flac
