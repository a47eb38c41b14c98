// MP4 audio files (.m4a): a builder of the box tree byte by byte, for the
// layouts and damage a test wants, and real AAC and ALAC files encoded by
// ffmpeg, whose item list the builder writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/samples/bytes.h"

namespace cvx::samples {

// Well-known data types of an item's data box.
constexpr uint32_t kMp4Utf8 = 1;
constexpr uint32_t kMp4Jpeg = 13;
constexpr uint32_t kMp4Implicit = 0;

// One item of moov/udta/meta/ilst: its type ("\251nam", "trkn", "covr") and
// one data box per value, each of `dataType`.
struct Mp4Item {
    std::string type;
    std::vector<Bytes> values;
    uint32_t dataType = kMp4Utf8;

    static Mp4Item Text(const std::string& type, const std::vector<std::string>& values);
    static Mp4Item Track(uint16_t number, uint16_t total);  // trkn: reserved u16, number, total, reserved u16
    static Mp4Item Genre(uint16_t id3v1IndexPlusOne);       // gnre
    static Mp4Item Cover(const Bytes& jpeg);
};

// Items from "NAME=value" comments, as a tagger maps Vorbis comment names:
// TITLE ©nam, ARTIST ©ART, ALBUM ©alb, COMMENT ©cmt, GENRE ©gen, DATE ©day
// (repeated names give one item of several values) and TRACKNUMBER trkn.
// Other names are dropped.
std::vector<Mp4Item> Mp4ItemsFromComments(const std::vector<std::string>& comments);

// A box: size u32 BE, type, payload. A full box puts version and flags first.
Bytes Mp4Box(const std::string& type, const Bytes& payload);
Bytes Mp4FullBox(const std::string& type, uint8_t version, uint32_t flags, const Bytes& payload);
// A box's header alone, claiming `size` bytes: in the 32-bit field, or in
// the 64-bit one after a size of 1; for boxes that lie about their size.
Bytes Mp4BoxHeader(const std::string& type, uint32_t size);
Bytes Mp4LargeBoxHeader(const std::string& type, uint64_t size);
// `depth` empty boxes of `type`, each inside the one before.
Bytes Mp4NestedBoxes(const std::string& type, int depth);
// udta/meta(hdlr mdir, ilst) holding `items`.
Bytes Mp4UserData(const std::vector<Mp4Item>& items);

// A file built box by box: ftyp M4A, mdat and moov (mvhd; a video trak
// first when asked; the sound trak with mdhd of version 0 or 1 and an
// mp4a or alac sample entry; udta with the items).
struct Mp4Layout {
    uint32_t timescale = 44100;
    uint64_t duration = 44100;  // in timescale units
    int mediaHeaderVersion = 0;
    std::string sampleEntry = "mp4a";
    bool videoTrackFirst = false;
    bool mdatAfterMoov = false;
    size_t mdatBytes = 256;
    uint32_t averageBitRate = 128000;  // in mp4a's decoder config; 0 has TagLib work it out
    std::vector<Mp4Item> items;

    Mp4Layout& Seconds(double seconds) { return duration = static_cast<uint64_t>(seconds * timescale), *this; }
    Mp4Layout& Items(std::vector<Mp4Item> list) { return items = std::move(list), *this; }
};
Bytes BuildMp4(const Mp4Layout& layout);

// Real audio: a tone of `seconds` encoded by ffmpeg's own AAC or ALAC
// encoder ("aac", "alac") into an .m4a, with no items; the same arguments
// give the same bytes. Throws std::runtime_error when ffmpeg fails.
struct Mp4Audio {
    std::string codec = "aac";
    double seconds = 1.0;
    int channels = 2;
    double toneHz = 440;

    Mp4Audio& Codec(std::string name) { return codec = std::move(name), *this; }
    Mp4Audio& Seconds(double length) { return seconds = length, *this; }
    Mp4Audio& Channels(int count) { return channels = count, *this; }
    Mp4Audio& Tone(double hz) { return toneHz = hz, *this; }
};
Bytes EncodeMp4(const Mp4Audio& audio);

// `file` (moov's boxes after mdat's, as ffmpeg writes them) with its udta
// replaced by one holding `items`.
Bytes WithMp4Items(const Bytes& file, const std::vector<Mp4Item>& items);

}  // namespace cvx::samples
