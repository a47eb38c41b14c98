// Real Ogg Vorbis files made with libvorbisenc.
#pragma once

#include <ogg/ogg.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/samples/bytes.h"

namespace cvx::samples {

struct VorbisStream {
    long sampleRateHz = 8000;
    int channels = 1;
    double seconds = 1.0;
    std::vector<std::string> comments;  // "NAME=value", stored as given
    uint32_t serialNumber = 1;  // all 32 bits, as encoders draw them
    double toneHz = 0;  // root of the arpeggio; 0 for silence
    float quality = 0.1f;  // libvorbisenc VBR quality, -0.1 to 1

    // Set by name: VorbisStream().Seconds(2.0).Comments({"TITLE=x"}).
    VorbisStream& Rate(long hz) { return sampleRateHz = hz, *this; }
    VorbisStream& Channels(int count) { return channels = count, *this; }
    VorbisStream& Seconds(double length) { return seconds = length, *this; }
    VorbisStream& Comments(std::vector<std::string> list) { return comments = std::move(list), *this; }
    VorbisStream& Serial(uint32_t number) { return serialNumber = number, *this; }
    VorbisStream& Tone(double hz) { return toneHz = hz, *this; }
};

// One logical Ogg Vorbis stream.
Bytes EncodeVorbis(const VorbisStream& stream);

// Two mono 8 kHz streams one after the other, a chained file (serials 1 and
// 2).
Bytes ChainedOgg(double firstSeconds, double secondSeconds,
                 const std::vector<std::string>& firstComments,
                 const std::vector<std::string>& secondComments, double toneHz = 0);

// A Vorbis comment header packet with `comments` stored as given.
Bytes VorbisCommentPacket(const std::vector<std::string>& comments, const std::string& vendor = "corvane samples");

// The `index`th packet (from 0) of the first logical stream of `file`, or
// nothing: the first three are a Vorbis stream's headers.
Bytes PacketOf(const Bytes& file, int index);

// Appends the page's header and body to `out`.
void AppendOggPage(Bytes& out, const ogg_page& page);

}  // namespace cvx::samples
