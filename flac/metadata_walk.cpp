#include "flac/metadata_walk.h"

#include <FLAC/metadata.h>

#include "flac/metadata_handles.h"
#include "flac/metadata_layout.h"

namespace cvx::flac {

namespace {

// STREAMINFO (kFlacStreamInfoSize): block sizes (2 + 2), frame sizes
// (3 + 3), rate, channels, bits per sample and total samples (8), MD5 (16).
// APPLICATION: the registered application ID (4), then its data.
constexpr uint32_t kApplicationIdSize = 4;
// SEEKTABLE: seek points of sample number (8), byte offset (8), samples (2).
constexpr uint32_t kSeekPointSize = FLAC__STREAM_METADATA_SEEKPOINT_LENGTH;

// What libFLAC's stream decoder makes of the blocks the iterator passes over.
// The iterator only reads each header; the decoder parses every STREAMINFO
// block (it takes the first one's values), SEEKTABLE and an APPLICATION
// block's ID whatever it is asked for, and gives up on some bodies the
// iterator never looks into.
class DecoderVerdict {
public:
    void See(FLAC__MetadataType type, uint32_t lengthBytes) {
        // Its fields run into the next block, and the decoder gives up.
        if (type == FLAC__METADATA_TYPE_STREAMINFO && lengthBytes < kFlacStreamInfoSize) rejected_ = true;
        // The ID is read first; a block too short for it is refused.
        if (type == FLAC__METADATA_TYPE_APPLICATION && lengthBytes < kApplicationIdSize) rejected_ = true;
        // The decoder reallocates its one table to each SEEKTABLE's size; a
        // table without a whole point after another asks realloc for 0
        // bytes, which frees the table and answers null: taken for memory
        // exhausted.
        if (type == FLAC__METADATA_TYPE_SEEKTABLE) {
            if (lengthBytes < kSeekPointSize && seenSeekTable_) rejected_ = true;
            seenSeekTable_ = true;
        }
    }
    bool rejected() const { return rejected_; }

private:
    bool seenSeekTable_ = false;
    bool rejected_ = false;
};

}  // namespace

std::optional<FLAC__StreamMetadata_StreamInfo> WalkMetadata(const char* flacName, int64_t fileSizeBytes,
                                                            CommentBlockVisitor visit, void* context) {
    const SimpleIteratorPtr iterator(FLAC__metadata_simple_iterator_new());
    if (!iterator || !FLAC__metadata_simple_iterator_init(iterator.get(), flacName, kIteratorReadOnly, kIteratorPreservesFileStats)) {
        return std::nullopt;
    }
    FLAC__Metadata_SimpleIterator* const it = iterator.get();

    // The iterator starts only on a file whose first block is STREAMINFO.
    std::optional<FLAC__StreamMetadata_StreamInfo> streamInfo;
    if (const BlockPtr first{FLAC__metadata_simple_iterator_get_block(it)}) streamInfo = first->data.stream_info;

    DecoderVerdict decoder;
    // A copy that fails (a body cut short by the end of the file, memory
    // exhausted) leaves the iterator inside the block, so the blocks it sees
    // afterwards need not be the ones the decoder sees.
    bool everyCopyMade = streamInfo.has_value();
    do {
        const FLAC__MetadataType type = FLAC__metadata_simple_iterator_get_block_type(it);
        decoder.See(type, FLAC__metadata_simple_iterator_get_block_length(it));
        if (type != FLAC__METADATA_TYPE_VORBIS_COMMENT) continue;
        const BlockPtr block(FLAC__metadata_simple_iterator_get_block(it));
        if (!block) {
            everyCopyMade = false;
            continue;
        }
        if (visit != nullptr) visit(block->data.vorbis_comment, context);
    } while (FLAC__metadata_simple_iterator_next(it));

    // The walk stops at the block marked last, or where the next header
    // cannot be read; the decoder reads on to the end of the last body.
    const bool reachedLast = FLAC__metadata_simple_iterator_is_last(it);
    const int64_t metadataEnd = static_cast<int64_t>(FLAC__metadata_simple_iterator_get_block_offset(it)) +
                                static_cast<int64_t>(kFlacBlockHeaderSize) +
                                FLAC__metadata_simple_iterator_get_block_length(it);
    if (!everyCopyMade || !reachedLast || metadataEnd > fileSizeBytes || decoder.rejected()) return std::nullopt;
    return streamInfo;
}

}  // namespace cvx::flac
