// What libFLAC's stream decoder makes of the blocks the simple iterator
// passes over. The iterator only reads each header; the decoder parses every
// STREAMINFO block (it takes the first one's values), SEEKTABLE and an
// APPLICATION block's ID whatever it is asked for, and gives up on some
// bodies the iterator never looks into (read_metadata_ in
// src/libFLAC/stream_decoder.c).
#pragma once

#include <FLAC/format.h>

#include <cstdint>

#include "flac/metadata_layout.h"

namespace cvx::flac {

// STREAMINFO (kFlacStreamInfoSize): block sizes (2 + 2), frame sizes
// (3 + 3), rate, channels, bits per sample and total samples (8), MD5 (16).
// APPLICATION: the registered application ID (4), then its data.
inline constexpr uint32_t kApplicationIdSize = 4;
// SEEKTABLE: seek points of sample number (8), byte offset (8), samples (2).
inline constexpr uint32_t kSeekPointSize = FLAC__STREAM_METADATA_SEEKPOINT_LENGTH;

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
    bool takesEveryBlock() const { return !rejected_; }

private:
    bool seenSeekTable_ = false;
    bool rejected_ = false;
};

}  // namespace cvx::flac
