#include "flac/metadata_walk.h"

#include <FLAC/metadata.h>

#include "flac/metadata_layout.h"

namespace cvx::flac {

MetadataWalk::MetadataWalk(const char* flacName) : iterator_(FLAC__metadata_simple_iterator_new()) {
    if (!iterator_ ||
        !FLAC__metadata_simple_iterator_init(iterator_.get(), flacName, kIteratorReadOnly, kIteratorPreservesFileStats)) {
        iterator_.reset();
        return;
    }
    // The iterator starts only on a file whose first block is STREAMINFO.
    if (const BlockPtr first{FLAC__metadata_simple_iterator_get_block(iterator_.get())}) {
        streamInfo_ = first->data.stream_info;
    }
    everyBlockCopied_ = streamInfo_.has_value();
}

const FLAC__StreamMetadata_VorbisComment* MetadataWalk::NextCommentBlock() {
    comment_.reset();
    FLAC__Metadata_SimpleIterator* const it = iterator_.get();
    if (it == nullptr) return nullptr;
    for (;;) {
        if (!onFirstBlock_ && !FLAC__metadata_simple_iterator_next(it)) return nullptr;
        onFirstBlock_ = false;
        const FLAC__MetadataType type = FLAC__metadata_simple_iterator_get_block_type(it);
        decoder_.See(type, FLAC__metadata_simple_iterator_get_block_length(it));
        if (type != FLAC__METADATA_TYPE_VORBIS_COMMENT) continue;
        comment_.reset(FLAC__metadata_simple_iterator_get_block(it));
        // A copy that fails (a body cut short by the end of the file, memory
        // exhausted) leaves the iterator inside the block, so the blocks it
        // sees afterwards need not be the ones the decoder sees.
        if (!comment_) {
            everyBlockCopied_ = false;
            continue;
        }
        return &comment_->data.vorbis_comment;
    }
}

std::optional<FLAC__StreamMetadata_StreamInfo> MetadataWalk::StreamInfoToVouchFor(int64_t fileSizeBytes) const {
    FLAC__Metadata_SimpleIterator* const it = iterator_.get();
    if (it == nullptr) return std::nullopt;
    // The walk stops at the block marked last, or where the next header
    // cannot be read; the decoder reads on to the end of the last body.
    const bool stoppedAtTheLastBlock = FLAC__metadata_simple_iterator_is_last(it);
    const int64_t metadataEnd = static_cast<int64_t>(FLAC__metadata_simple_iterator_get_block_offset(it)) +
                                static_cast<int64_t>(kFlacBlockHeaderSize) +
                                FLAC__metadata_simple_iterator_get_block_length(it);
    const bool lastBodyWithinTheFile = metadataEnd <= fileSizeBytes;
    if (everyBlockCopied_ && stoppedAtTheLastBlock && lastBodyWithinTheFile && decoder_.takesEveryBlock()) {
        return streamInfo_;
    }
    return std::nullopt;
}

}  // namespace cvx::flac
