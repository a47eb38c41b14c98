// Real Ogg Opus files made with libopusenc.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/samples/bytes.h"

namespace cvx::samples {

// One link of an Ogg Opus file. Opus encodes at 48 kHz whatever the input
// rate; the playing time is `seconds`, the pre-skip aside.
struct OpusLink {
    int channels = 1;
    double seconds = 1.0;
    std::vector<std::string> comments;  // "NAME=value"
    Bytes picture;                      // a JPEG or PNG for the comment header, or none
    double toneHz = 0;                  // root of the arpeggio; 0 for silence

    OpusLink& Channels(int count) { return channels = count, *this; }
    OpusLink& Seconds(double length) { return seconds = length, *this; }
    OpusLink& Comments(std::vector<std::string> list) { return comments = std::move(list), *this; }
    OpusLink& Picture(Bytes image) { return picture = std::move(image), *this; }
    OpusLink& Tone(double hz) { return toneHz = hz, *this; }
};

// The links one after the other in one file (a chained file when there are
// several), the first with serial number `serial`, each next one's the one
// after. All links have the first link's channel count.
Bytes EncodeOpus(const std::vector<OpusLink>& links, uint32_t serial = 1);

}  // namespace cvx::samples
