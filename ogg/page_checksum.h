// The Ogg page checksum, as libogg's ogg_page_checksum_set computes it: a
// CRC-32 with the polynomial 0x04C11DB7, most significant bit first, an
// initial value of 0 and nothing xored out, over the whole page with its
// checksum field taken as zeros.
//
// Two ways to the same value: carry-less multiplication (PCLMULQDQ), 16
// bytes at a time, where the processor has it; a table of eight slices
// otherwise, and for the few bytes either side of the 16-byte blocks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx::ogg {

// `crc` carried on over `size` bytes: the checksum of the bytes before and
// these. Chooses the way once, by what the processor has.
uint32_t ChecksumUpdate(uint32_t crc, const unsigned char* data, size_t size);

// Each way on its own, for the tests. The second may be called only where
// CarrylessMultiplyAvailable() is true.
uint32_t ChecksumUpdateByTable(uint32_t crc, const unsigned char* data, size_t size);
uint32_t ChecksumUpdateByCarrylessMultiply(uint32_t crc, const unsigned char* data, size_t size);
bool CarrylessMultiplyAvailable();

// The checksum of a page of `headerSize` + `bodySize` bytes, its checksum
// field counted as zeros whatever it holds.
uint32_t PageChecksum(const unsigned char* header, size_t headerSize, const unsigned char* body, size_t bodySize);

}  // namespace cvx::ogg
