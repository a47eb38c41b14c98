// Ogg files the encoder will not make, and helpers to damage real ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tools/samples/ogg_files.h"

namespace cvx::testing {

using samples::Bytes;

// An Ogg stream whose first packet is not a Vorbis header.
Bytes OggOfAnotherCodec();

// Offsets of the "OggS" page captures in `bytes`.
std::vector<size_t> OggPageOffsets(const Bytes& bytes);

// Flips the bits of `mask` in the byte at `offset` and recomputes the CRC of
// the page holding it, so the damage reaches the codec instead of being
// caught by the container's checksum.
Bytes FlipInsidePage(const Bytes& bytes, size_t offset, uint8_t mask = 0xFF);

}  // namespace cvx::testing
