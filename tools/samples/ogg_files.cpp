#include "tools/samples/ogg_files.h"

#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "tools/samples/tone.h"
#include "tools/samples/vorbis_comment.h"

namespace cvx::samples {

Bytes VorbisCommentPacket(const std::vector<std::string>& comments, const std::string& vendor) {
    // 0x03 "vorbis", the comment body, then the framing bit. Written here
    // rather than by libvorbis, which grows its buffer 256 bytes at a time:
    // slow for a 10 MB value.
    Bytes packet = {0x03, 'v', 'o', 'r', 'b', 'i', 's'};
    const Bytes body = VorbisCommentBody(comments, vendor);
    packet.insert(packet.end(), body.begin(), body.end());
    packet.push_back(0x01);
    return packet;
}

void AppendOggPage(Bytes& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

Bytes PacketOf(const Bytes& file, int index) {
    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_sync_init(&sync);
    ogg_stream_init(&stream, 0);
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(file.size()));
    std::copy(file.begin(), file.end(), buffer);
    ogg_sync_wrote(&sync, static_cast<long>(file.size()));
    Bytes found;
    ogg_page page;
    ogg_packet packet;
    bool first = true;
    for (int packets = 0; packets <= index && ogg_sync_pageout(&sync, &page) == 1;) {
        if (first) ogg_stream_reset_serialno(&stream, ogg_page_serialno(&page));
        first = false;
        ogg_stream_pagein(&stream, &page);
        while (packets <= index && ogg_stream_packetout(&stream, &packet) == 1) {
            if (packets++ == index) found.assign(packet.packet, packet.packet + packet.bytes);
        }
    }
    ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return found;
}

namespace {

// libvorbis's encoder and the Ogg stream it feeds, set up together and
// cleared on every way out, a throw included.
struct VorbisEncoder {
    explicit VorbisEncoder(const VorbisStream& stream) {
        vorbis_info_init(&info);
        if (vorbis_encode_init_vbr(&info, stream.channels, stream.sampleRateHz, stream.quality) != 0) {
            vorbis_info_clear(&info);
            throw std::runtime_error("vorbis_encode_init_vbr refused the format");
        }
        vorbis_comment_init(&noComments);
        vorbis_analysis_init(&dsp, &info);
        vorbis_block_init(&dsp, &block);
        // libogg takes the serial number as an int: the same 32 bits.
        ogg_stream_init(&os, static_cast<int>(stream.serialNumber));
    }
    ~VorbisEncoder() {
        ogg_stream_clear(&os);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
        vorbis_comment_clear(&noComments);
        vorbis_info_clear(&info);
    }
    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    vorbis_info info;
    vorbis_comment noComments;  // the comment packet is written by hand
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state os;
};

}  // namespace

Bytes EncodeVorbis(const VorbisStream& stream) {
    VorbisEncoder encoder(stream);
    vorbis_dsp_state& dsp = encoder.dsp;
    vorbis_block& block = encoder.block;
    ogg_stream_state& os = encoder.os;

    Bytes out;
    ogg_packet header, unusedCommentHeader, codebooks;
    vorbis_analysis_headerout(&dsp, &encoder.noComments, &header, &unusedCommentHeader, &codebooks);
    Bytes commentBytes = VorbisCommentPacket(stream.comments);
    ogg_packet commentHeader = unusedCommentHeader;
    commentHeader.packet = commentBytes.data();
    commentHeader.bytes = static_cast<long>(commentBytes.size());
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &commentHeader);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) AppendOggPage(out, page);

    const long totalSamples = static_cast<long>(stream.seconds * stream.sampleRateHz);
    constexpr long kChunk = 4096;
    long fed = 0;
    bool finished = false;
    while (!finished) {
        const long count = std::min(kChunk, totalSamples - fed);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (int c = 0; c < stream.channels; ++c) {
                for (long i = 0; i < count; ++i) {
                    buffer[c][i] = ToneSample(stream.toneHz, static_cast<uint32_t>(stream.sampleRateHz),
                                              static_cast<uint64_t>(fed + i), c);
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            fed += count;
        } else {
            vorbis_analysis_wrote(&dsp, 0);  // end of stream
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    AppendOggPage(out, page);
                    if (ogg_page_eos(&page)) finished = true;
                }
            }
        }
    }

    return out;
}

Bytes ChainedOgg(double firstSeconds, double secondSeconds,
                 const std::vector<std::string>& firstComments,
                 const std::vector<std::string>& secondComments, double toneHz) {
    VorbisStream first;
    first.toneHz = toneHz;
    first.seconds = firstSeconds;
    first.comments = firstComments;
    first.serialNumber = 1;
    VorbisStream second = first;
    second.seconds = secondSeconds;
    second.comments = secondComments;
    second.serialNumber = 2;
    Bytes out = EncodeVorbis(first);
    const Bytes tail = EncodeVorbis(second);
    out.insert(out.end(), tail.begin(), tail.end());
    return out;
}

}  // namespace cvx::samples
