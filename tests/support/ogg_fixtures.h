// Real Ogg Vorbis files made with libvorbisenc, and helpers to damage them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

struct VorbisStream {
    long sampleRateHz = 8000;
    int channels = 1;
    double seconds = 1.0;
    std::vector<std::string> comments;  // "NAME=value", stored as given
    int serialNumber = 1;
};

// One logical Ogg Vorbis stream of silence.
Bytes EncodeVorbis(const VorbisStream& stream);

// Two streams one after the other, a chained file (serials 1 and 2).
Bytes ChainedOgg(double firstSeconds, double secondSeconds,
                 const std::vector<std::string>& firstComments,
                 const std::vector<std::string>& secondComments);

// An Ogg stream whose first packet is not a Vorbis header.
Bytes OggOfAnotherCodec();

// Offsets of the "OggS" page captures in `bytes`.
std::vector<size_t> OggPageOffsets(const Bytes& bytes);

// Flips the bits of the byte at `offset` and recomputes the CRC of the page
// holding it, so the damage reaches the codec instead of being caught by the
// container's checksum.
Bytes FlipInsidePage(const Bytes& bytes, size_t offset);
