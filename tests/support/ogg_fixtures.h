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

// "OggS", version 0, and a header declaring `segments` segments of 255
// bytes each (the longest page at 255), with a checksum that holds over
// nothing: bytes that merely begin like a page.
Bytes CaptureWithoutPage(uint8_t segments);

// Flips the bits of `mask` in the byte at `offset` and recomputes the CRC of
// the page holding it, so the damage reaches the codec instead of being
// caught by the container's checksum.
Bytes FlipInsidePage(const Bytes& bytes, size_t offset, uint8_t mask = 0xFF);

// The page of `stream` whose capture pattern is the `index`th.
Bytes OggPage(const Bytes& stream, size_t index);

// `stream` with the page at `pageStart` given `granule` as its granule
// position, its checksum redone.
Bytes WithGranulePosition(const Bytes& stream, size_t pageStart, int64_t granule);

// A page that begins a logical stream `serial` and holds `packet` alone.
Bytes BeginningPage(uint32_t serial, const Bytes& packet);

// `stream`, one logical stream, with every page given `serial`.
Bytes WithSerialNumber(const Bytes& stream, uint32_t serial);

}  // namespace cvx::testing
