#include "tests/support/library_comparisons.h"

#include <ogg/ogg.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "frame/platform/regular_file.h"
#include "ogg/page_checksum.h"
#include "ogg/page_finder.h"
#include "ogg/vorbis_setup_check.h"

namespace cvx::testing {

using samples::Bytes;

namespace {

constexpr int kShortBlock = 256, kLongBlock = 2048;

int ILog(uint32_t v) {
    int bits = 0;
    for (; v != 0; v >>= 1) ++bits;
    return bits;
}

uint32_t LibraryChecksum(const ogg_page& found) {
    Bytes header(found.header, found.header + found.header_len);
    ogg_page copy = found;
    copy.header = header.data();
    ogg_page_checksum_set(&copy);
    return uint32_t{header[22]} | uint32_t{header[23]} << 8 | uint32_t{header[24]} << 16 | uint32_t{header[25]} << 24;
}

// An identification header of `channels` channels at 44.1 kHz with blocks of
// 256 and 2048 samples, for libvorbis to take before the setup header.
Bytes IdentificationPacket(int channels) {
    oggpack_buffer out;
    oggpack_writeinit(&out);
    oggpack_write(&out, 1, 8);
    for (const char c : std::string("vorbis")) oggpack_write(&out, static_cast<unsigned char>(c), 8);
    oggpack_write(&out, 0, 32);
    oggpack_write(&out, static_cast<unsigned long>(channels), 8);
    oggpack_write(&out, 44100, 32);
    for (int i = 0; i < 3; ++i) oggpack_write(&out, 0, 32);
    oggpack_write(&out, static_cast<unsigned long>(ILog(kShortBlock - 1)), 4);
    oggpack_write(&out, static_cast<unsigned long>(ILog(kLongBlock - 1)), 4);
    oggpack_write(&out, 1, 1);
    Bytes packet(out.buffer, out.buffer + oggpack_bytes(&out));
    oggpack_writeclear(&out);
    return packet;
}

// An empty comment header: no vendor, no comments.
const unsigned char kCommentPacket[] = {3, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, 0, 0, 0, 0, 1};

// libvorbis's headers of one stream, for as long as the comparison lasts.
struct LibvorbisHeaders {
    LibvorbisHeaders() {
        vorbis_info_init(&info);
        vorbis_comment_init(&comment);
    }
    ~LibvorbisHeaders() {
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }
    LibvorbisHeaders(const LibvorbisHeaders&) = delete;
    LibvorbisHeaders& operator=(const LibvorbisHeaders&) = delete;
    int Take(const unsigned char* bytes, size_t size, bool first) {
        ogg_packet packet{};
        packet.packet = const_cast<unsigned char*>(bytes);
        packet.bytes = static_cast<long>(size);
        packet.b_o_s = first;
        return vorbis_synthesis_headerin(&info, &comment, &packet);
    }
    vorbis_info info;
    vorbis_comment comment;
};

}  // namespace

std::string PageSearchDifference(const Bytes& bytes, int64_t from, LibraryPageSearch::Library library,
                                 PageBoundary boundary, int64_t distance, int mostPages) {
    // The finder reads through a stdio stream; this one reads the bytes.
    Bytes copy = bytes;
    const FilePtr stream(fmemopen(copy.empty() ? nullptr : copy.data(), copy.size(), "rb"));
    if (!stream && !copy.empty()) return "fmemopen failed";
    const int64_t size = static_cast<int64_t>(bytes.size());
    ogg::FileWindow window(stream.get(), size);
    window.StartAt(from);

    LibraryPageSearch expected(library, bytes.data(), bytes.size(), from);
    int64_t at = from;
    for (int page = 0; page < mostPages; ++page) {
        int64_t limit = -1;
        if (boundary == PageBoundary::kFromEachPage) limit = at + distance;
        if (boundary == PageBoundary::kAtTheEnd) limit = size;
        int64_t expectedSize = 0;
        const int64_t expectedAt = expected.Next(limit, expectedSize);

        // libopusfile reads no further than its boundary, so its pages end
        // before it; libvorbisfile's need only begin before it.
        const bool readsToBoundary = library == LibraryPageSearch::Library::kOpusfile && limit >= 0;
        const int64_t dataEnd = readsToBoundary ? std::min(limit, size) : size;
        ogg::FoundPage found;
        const ogg::PageSearch search = ogg::FindPage(window, at, limit, dataEnd, found);
        const std::string where = "page " + std::to_string(page) + " from " + std::to_string(at) + ": ";
        if (search == ogg::PageSearch::kUnreadable) return where + "unreadable";
        if (expectedAt < 0) return search == ogg::PageSearch::kFound ? where + "a page the library does not find" : "";
        if (search != ogg::PageSearch::kFound) return where + "no page where the library finds one";
        if (found.offset != expectedAt || found.size != expectedSize) {
            return where + "found at " + std::to_string(found.offset) + " (" + std::to_string(found.size) +
                   " bytes), the library at " + std::to_string(expectedAt) + " (" + std::to_string(expectedSize) + ")";
        }
        if (std::memcmp(found.page.header, bytes.data() + found.offset, static_cast<size_t>(found.size)) != 0) {
            return where + "the page's bytes are not the file's";
        }
        if (ogg::PageChecksum(found.page.header, static_cast<size_t>(found.page.header_len), found.page.body,
                              static_cast<size_t>(found.page.body_len)) != LibraryChecksum(found.page)) {
            return where + "checksum differs from libogg's";
        }
        at = found.offset + found.size;
    }
    return "";
}

std::string SetupCheckDifference(const Bytes& setup, int channels) {
    LibvorbisHeaders libvorbis;
    const Bytes identification = IdentificationPacket(channels);
    if (libvorbis.Take(identification.data(), identification.size(), true) != 0 ||
        libvorbis.Take(kCommentPacket, sizeof kCommentPacket, false) != 0) {
        return "libvorbis refused the first two headers";
    }
    const bool libvorbisTakesIt = libvorbis.Take(setup.data(), setup.size(), false) == 0;
    ogg::VorbisModes modes;
    const bool checkTakesIt = ogg::CheckVorbisSetup(setup.data(), static_cast<long>(setup.size()), channels, modes);
    if (checkTakesIt != libvorbisTakesIt) {
        return libvorbisTakesIt ? "libvorbis takes it, the check refuses it" : "the check takes it, libvorbis refuses it";
    }
    if (!libvorbisTakesIt) return "";
    // An audio packet for each value of the widest mode field: libvorbis
    // reads as many of its bits as its mode count needs, the check's modes
    // as many as theirs.
    const unsigned long modeMask = (1ul << ILog(static_cast<uint32_t>(modes.count - 1))) - 1;
    for (unsigned long field = 0; field < ogg::kMostVorbisModes; ++field) {
        unsigned char audio[1] = {static_cast<unsigned char>(field << 1)};
        ogg_packet packet{};
        packet.packet = audio;
        packet.bytes = sizeof audio;
        const long blockSize = vorbis_packet_blocksize(&libvorbis.info, &packet);
        const unsigned long mode = field & modeMask;
        const long expected = mode < static_cast<unsigned long>(modes.count) ? (modes.blockFlag[mode] ? kLongBlock : kShortBlock) : -1;
        if ((expected < 0) != (blockSize < 0) || (expected >= 0 && blockSize != expected)) {
            return "mode field " + std::to_string(field) + ": libvorbis's block size " + std::to_string(blockSize) +
                   ", the check's " + std::to_string(expected);
        }
    }
    return "";
}

}  // namespace cvx::testing
