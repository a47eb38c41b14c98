// Embedded pictures as taggers write them: the picture structure of FLAC's
// PICTURE block, which Ogg Vorbis files carry base64-encoded in a
// METADATA_BLOCK_PICTURE comment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/samples/bytes.h"

namespace cvx::samples {

constexpr uint32_t kFrontCover = 3;  // picture types of the ID3v2 APIC frame
constexpr uint32_t kBackCover = 4;

// `sizeBytes` bytes that look like a JPEG image to a reader that looks: the
// start-of-image and JFIF markers, then bytes from `seed`, and the
// end-of-image marker. Not decodable, and not compressible either.
Bytes JpegLikeBytes(size_t sizeBytes, uint32_t seed);

// Picture type, MIME type, description, width, height, depth, colours and
// the image, every number 32-bit big-endian and each text after its length.
Bytes PictureBody(uint32_t pictureType, const Bytes& jpeg);

// "METADATA_BLOCK_PICTURE=" and the picture structure in base64.
std::string PictureComment(const Bytes& pictureBody);

}  // namespace cvx::samples
