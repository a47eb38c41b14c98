#include "tests/support/ogg_fixtures.h"

#include <algorithm>
#include <cstring>

#include "ogg/page_layout.h"

namespace cvx::testing {

using namespace cvx::samples;

using namespace cvx::ogg;

Bytes OggOfAnotherCodec() {
    ogg_stream_state os;
    ogg_stream_init(&os, 7);
    unsigned char header[] = "\x7f" "FLAC\x01\x00\x00\x01" "fLaC not vorbis at all";
    ogg_packet packet{};
    packet.packet = header;
    packet.bytes = sizeof header - 1;
    packet.b_o_s = 1;
    ogg_stream_packetin(&os, &packet);
    Bytes out;
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) AppendOggPage(out, page);
    ogg_stream_clear(&os);
    return out;
}

std::vector<size_t> OggPageOffsets(const Bytes& bytes) {
    std::vector<size_t> offsets;
    for (size_t i = 0; i + kOggCaptureSize <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], kOggCapturePattern, kOggCaptureSize) == 0) offsets.push_back(i);
    }
    return offsets;
}

Bytes CaptureWithoutPage(uint8_t segments) {
    Bytes fake(kOggPageHeaderSize + segments, 0xFF);
    std::copy_n(kOggCapturePattern, kOggCaptureSize, fake.begin());
    fake[kOggVersionOffset] = 0;
    fake[kOggHeaderTypeOffset] = 0;  // a page within a stream
    fake[kOggSegmentCountOffset] = segments;
    return fake;
}

namespace {

// Sets the checksum of the page at `pageStart`, when it lies whole in `bytes`.
void SetChecksum(Bytes& bytes, size_t pageStart) {
    if (pageStart + kOggSegmentCountOffset >= bytes.size()) return;
    const size_t segments = bytes[pageStart + kOggSegmentCountOffset];
    const size_t headerLength = kOggPageHeaderSize + segments;
    if (pageStart + headerLength > bytes.size()) return;
    size_t bodyLength = 0;
    for (size_t i = 0; i < segments; ++i) bodyLength += bytes[pageStart + kOggPageHeaderSize + i];
    if (pageStart + headerLength + bodyLength > bytes.size()) return;
    ogg_page page;
    page.header = &bytes[pageStart];
    page.header_len = static_cast<long>(headerLength);
    page.body = bytes.data() + pageStart + headerLength;
    page.body_len = static_cast<long>(bodyLength);
    ogg_page_checksum_set(&page);
}

}  // namespace

Bytes FlipInsidePage(const Bytes& bytes, size_t offset, uint8_t mask) {
    Bytes out = bytes;
    out[offset] ^= mask;
    size_t pageStart = 0;
    for (size_t start : OggPageOffsets(bytes)) {
        if (start <= offset) pageStart = start;
    }
    SetChecksum(out, pageStart);
    return out;
}

Bytes OggPage(const Bytes& stream, size_t index) {
    const std::vector<size_t> pages = OggPageOffsets(stream);
    const size_t end = index + 1 < pages.size() ? pages[index + 1] : stream.size();
    return Bytes(stream.begin() + static_cast<long>(pages.at(index)), stream.begin() + static_cast<long>(end));
}

Bytes WithGranulePosition(const Bytes& stream, size_t pageStart, int64_t granule) {
    Bytes out = stream;
    PutLittleEndian(out, pageStart + kOggGranuleOffset, static_cast<uint64_t>(granule), 8);
    SetChecksum(out, pageStart);
    return out;
}

Bytes BeginningPage(uint32_t serial, const Bytes& packet) {
    ogg_stream_state os;
    ogg_stream_init(&os, static_cast<int>(serial));
    ogg_packet in{};
    in.packet = const_cast<unsigned char*>(packet.data());
    in.bytes = static_cast<long>(packet.size());
    in.b_o_s = 1;
    ogg_stream_packetin(&os, &in);
    Bytes out;
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) AppendOggPage(out, page);
    ogg_stream_clear(&os);
    return out;
}

Bytes WithSerialNumber(const Bytes& stream, uint32_t serial) {
    Bytes out = stream;
    for (size_t start : OggPageOffsets(stream)) {
        PutLittleEndian(out, start + kOggSerialOffset, serial, 4);
        SetChecksum(out, start);
    }
    return out;
}

}  // namespace cvx::testing
