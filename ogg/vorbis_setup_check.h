// libvorbis 1.3.7's verdict on a Vorbis setup header, without building what
// it describes: every check of _vorbis_unpack_books (lib/info.c) and of the
// unpacking it calls (vorbis_staticbook_unpack in codebook.c, floor0_unpack,
// floor1_unpack, res0_unpack, mapping0_unpack), in the same order on the
// same bits, read with libogg's own bit reader. Codeword lengths and
// quantized values whose room the header proves are skipped, not read.
//
// Setup header (bit-packed, least significant bit first):
//   type 5, "vorbis", books-1[8] {codebook}, times-1[6] {0[16]},
//   floors-1[6] {type[16] floor}, residues-1[6] {type[16] residue},
//   mappings-1[6] {type[16] mapping}, modes-1[6]
//   {blockflag[1] window[16] transform[16] mapping[8]}, framing[1]
#pragma once

#include <cstdint>

namespace cvx::ogg {

inline constexpr int kMostVorbisModes = 64;

// What a Vorbis audio packet's length depends on: the block flag of each
// mode.
struct VorbisModes {
    int count = 0;
    unsigned char blockFlag[kMostVorbisModes] = {};
};

// True when vorbis_synthesis_headerin would take `packet` (`bytes` long) as
// the setup header of a stream of `channels` channels whose identification
// and comment headers it has taken; `modes` then holds what it would keep
// of the modes. False when it would refuse it.
bool CheckVorbisSetup(const unsigned char* packet, long bytes, int channels, VorbisModes& modes);

}  // namespace cvx::ogg
