#include "tools/samples/picture.h"

#include <algorithm>
#include <random>

namespace cvx::samples {

namespace {

void PutCounted(Bytes& out, const std::string& text) {
    AppendBigEndian(out, static_cast<uint32_t>(text.size()), 4);
    out.insert(out.end(), text.begin(), text.end());
}

std::string Base64(const Bytes& bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = std::min<size_t>(3, bytes.size() - i);
        uint32_t group = uint32_t{bytes[i]} << 16;
        if (count > 1) group |= uint32_t{bytes[i + 1]} << 8;
        if (count > 2) group |= bytes[i + 2];
        for (size_t k = 0; k < 4; ++k) out += k <= count ? kAlphabet[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
    return out;
}

}  // namespace

Bytes JpegLikeBytes(size_t sizeBytes, uint32_t seed) {
    // SOI, APP0 with "JFIF", ... EOI.
    const Bytes head = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x00};
    const Bytes tail = {0xFF, 0xD9};
    Bytes out(head);
    std::mt19937 random(seed);
    while (out.size() + tail.size() < sizeBytes) out.push_back(static_cast<uint8_t>(random()));
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

Bytes PictureBody(uint32_t pictureType, const Bytes& jpeg) {
    Bytes out;
    AppendBigEndian(out, pictureType, 4);
    PutCounted(out, "image/jpeg");
    PutCounted(out, pictureType == kFrontCover ? "Front cover" : "Cover");
    for (uint32_t number : {1200u, 1200u, 24u, 0u}) AppendBigEndian(out, number, 4);  // width, height, depth, colours
    AppendBigEndian(out, static_cast<uint32_t>(jpeg.size()), 4);
    out.insert(out.end(), jpeg.begin(), jpeg.end());
    return out;
}

std::string PictureComment(const Bytes& pictureBody) { return "METADATA_BLOCK_PICTURE=" + Base64(pictureBody); }

}  // namespace cvx::samples
