// The contents of a whole file, built in memory, and writing them out.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cvx::samples {

using Bytes = std::vector<uint8_t>;

// Writes `bytes` as the whole file at `path`; throws std::runtime_error
// when it cannot.
void WriteBytes(const std::string& path, const Bytes& bytes);

// The parts one after the other, as one file.
Bytes Concatenated(const std::vector<Bytes>& parts);

// `value`'s low `width` bytes, least significant first, over the bytes at
// `offset` (which must be there) or after the last.
void PutLittleEndian(Bytes& bytes, size_t offset, uint64_t value, size_t width);
void AppendLittleEndian(Bytes& bytes, uint64_t value, size_t width);
// `value` in `width` bytes, most significant first, after the last; zeros
// above 8 bytes.
void AppendBigEndian(Bytes& bytes, uint64_t value, size_t width);

}  // namespace cvx::samples
