// libvorbis 1.3.7's verdict on a Vorbis comment header, as
// _vorbis_unpack_comment (lib/info.c) reaches it, and the comments it would
// keep, handed on where they lie in the packet instead of copied.
//
// Comment header (byte-aligned, lengths 32-bit little-endian):
//   type 3, "vorbis", vendor length, vendor, count, {length, "NAME=value"},
//   framing bit
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace cvx::ogg {

namespace comment_packet {

inline constexpr unsigned char kType = 3;
inline constexpr long kPreambleBytes = 7;  // the type and "vorbis"
inline constexpr long kLengthBytes = 4;
// _vorbis_unpack_comment allows a vendor string up to the packet's size
// less this, even where fewer bytes are left.
inline constexpr long kVendorSlack = 8;

// A 32-bit length read as libvorbis reads it into an int: false where
// fewer than four bytes are left (its bit reader then answers -1).
inline bool ReadLength(const unsigned char* packet, long bytes, long& at, long& value) {
    if (bytes - at < kLengthBytes) return false;
    const unsigned char* p = packet + at;
    value = static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24);
    at += kLengthBytes;
    return true;
}

}  // namespace comment_packet

// True when vorbis_synthesis_headerin would take `packet` (`bytes` long) as
// the comment header following a stream's identification header. Each
// comment it would keep is passed to `take(text, length)` in stored order,
// also when a later part of the packet makes it refuse the header.
template <typename Take>
bool ReadVorbisCommentPacket(const unsigned char* packet, long bytes, Take&& take) {
    using namespace comment_packet;
    if (bytes < kPreambleBytes || packet[0] != kType || std::memcmp(packet + 1, "vorbis", kPreambleBytes - 1) != 0) {
        return false;
    }
    long at = kPreambleBytes;
    long vendorBytes = 0;
    if (!ReadLength(packet, bytes, at, vendorBytes) || vendorBytes < 0 || vendorBytes > bytes - kVendorSlack) return false;
    // A vendor string longer than what is left runs the bit reader out,
    // and the count read next fails.
    if (vendorBytes > bytes - at) return false;
    at += vendorBytes;
    long count = 0;
    if (!ReadLength(packet, bytes, at, count) || count < 0 || count > (bytes - at) / kLengthBytes) return false;
    for (long i = 0; i < count; ++i) {
        long length = 0;
        if (!ReadLength(packet, bytes, at, length) || length < 0 || length > bytes - at) return false;
        take(reinterpret_cast<const char*>(packet + at), static_cast<size_t>(length));
        at += length;
    }
    return at < bytes && (packet[at] & 1) != 0;  // the framing bit, the lowest first
}

}  // namespace cvx::ogg
