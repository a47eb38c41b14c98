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

#include "flac/decoder_verdict.h"
#include "flac/metadata_handles.h"

namespace cvx::flac {

class MetadataWalk {
public:
    // Opens the iterator on `flacName`; where it cannot start (no file, no
    // STREAMINFO first), the walk is empty and vouches for nothing.
    explicit MetadataWalk(const char* flacName);

    // The next VORBIS_COMMENT block that could be copied, in file order, or
    // null at the end of the walk; valid until the next call.
    const FLAC__StreamMetadata_VorbisComment* NextCommentBlock();

    // Once NextCommentBlock has answered null: the stream information
    // FLAC__metadata_get_streaminfo gives for the file (`fileSizeBytes`
    // long) when the walk can vouch for that call's answer, else nothing
    // (the call must then be asked).
    std::optional<FLAC__StreamMetadata_StreamInfo> StreamInfoToVouchFor(int64_t fileSizeBytes) const;

private:
    SimpleIteratorPtr iterator_;
    std::optional<FLAC__StreamMetadata_StreamInfo> streamInfo_;
    DecoderVerdict decoder_;
    BlockPtr comment_;
    bool onFirstBlock_ = true;
    bool everyBlockCopied_ = false;
};

// Walks every block and hands each VORBIS_COMMENT block's contents to
// `visit`; answers as StreamInfoToVouchFor. Everything the walk opens is
// released before it returns.
template <typename Visit>
std::optional<FLAC__StreamMetadata_StreamInfo> WalkMetadata(const char* flacName, int64_t fileSizeBytes, Visit visit) {
    MetadataWalk walk(flacName);
    while (const FLAC__StreamMetadata_VorbisComment* comment = walk.NextCommentBlock()) visit(*comment);
    return walk.StreamInfoToVouchFor(fileSizeBytes);
}

}  // namespace cvx::flac
