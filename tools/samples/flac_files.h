// FLAC files: real ones from libFLAC's stream encoder, and
// metadata assembled byte by byte for what the encoder will not write.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "flac/metadata_layout.h"
#include "tools/samples/bytes.h"

namespace cvx::samples {

struct FlacStream {
    uint32_t sampleRateHz = 8000;
    uint32_t channels = 1;
    uint64_t totalSamples = 8000;
    std::vector<std::string> comments;  // "NAME=value", stored as given
    double toneHz = 0;                  // root of the arpeggio; 0 for silence

    // Set by name: FlacStream().Rate(44100).Samples(441000).
    FlacStream& Rate(uint32_t hz) { return sampleRateHz = hz, *this; }
    FlacStream& Channels(uint32_t count) { return channels = count, *this; }
    FlacStream& Samples(uint64_t count) { return totalSamples = count, *this; }
    FlacStream& Comments(std::vector<std::string> list) { return comments = std::move(list), *this; }
    FlacStream& Tone(double hz) { return toneHz = hz, *this; }
};

// A complete FLAC file with one VORBIS_COMMENT block (when there
// are comments).
Bytes EncodeFlac(const FlacStream& stream);

// One metadata block: its type and its body, without the 4-byte header.
struct MetadataBlock {
    uint8_t type;
    Bytes body;
};

// A FLAC file split into its metadata blocks and the audio after them.
struct FlacParts {
    std::vector<MetadataBlock> blocks;
    Bytes audio;
};
FlacParts SplitFlac(const Bytes& file);

// "fLaC", each block with its header (last-block flag on the last one), then
// the audio.
Bytes AssembleFlac(const std::vector<MetadataBlock>& blocks, const Bytes& audio = {});

// A STREAMINFO body with the given rate, channel count and total samples.
MetadataBlock StreamInfoBlock(uint32_t sampleRateHz, uint64_t totalSamples, uint32_t channels = 1);

// A VORBIS_COMMENT body: vendor string, entry count, entries, each with its
// little-endian 32-bit length.
MetadataBlock VorbisCommentBlock(const std::vector<std::string>& entries, const std::string& vendor = "tests");

// The other blocks taggers and encoders write: `size` zero bytes of padding;
// an application's 4-byte ID and its data; seek points of 18 bytes (sample
// number, byte offset, frame samples); a CD cue sheet with one track and the
// lead-out; a picture (see picture.h).
MetadataBlock PaddingBlock(size_t sizeBytes);
MetadataBlock ApplicationBlock(const std::string& id, const Bytes& data);
MetadataBlock SeekTableBlock(size_t points);
MetadataBlock CueSheetBlock();
MetadataBlock PictureBlock(const Bytes& pictureBody);

// `file` with `blocks` added after its own metadata blocks, before the audio.
Bytes WithMetadataBlocks(const Bytes& file, const std::vector<MetadataBlock>& blocks);

// `audio` encoded, with the given comments spread over two VORBIS_COMMENT
// blocks, a PADDING block between them (its own comments are dropped).
Bytes FlacWithTwoCommentBlocks(const std::vector<std::string>& first, const std::vector<std::string>& second,
                               const FlacStream& audio = {});

// The fields of an ID3v1 tag; a track makes it ID3v1.1, else the comment is
// padded with spaces. Set by name: Id3v1Fields().Title("T").Track(3).
struct Id3v1Fields {
    std::string title, artist, album, year, comment;
    std::optional<uint8_t> track;
    uint8_t genre = 255;

    Id3v1Fields& Title(std::string text) { return title = std::move(text), *this; }
    Id3v1Fields& Artist(std::string text) { return artist = std::move(text), *this; }
    Id3v1Fields& Album(std::string text) { return album = std::move(text), *this; }
    Id3v1Fields& Year(std::string text) { return year = std::move(text), *this; }
    Id3v1Fields& Comment(std::string text) { return comment = std::move(text), *this; }
    Id3v1Fields& Track(uint8_t number) { return track = number, *this; }
    Id3v1Fields& Genre(uint8_t index) { return genre = index, *this; }
};
Bytes Id3v1Tag(const Id3v1Fields& fields);

// `file` with `tag` appended.
Bytes WithId3v1(Bytes file, const Bytes& tag);

// An ID3v2 header: "ID3", version 2.4.0, `flags` (0x10 announces a
// footer), and the four size bytes as given; SyncSafe gives a sound tag's,
// seven bits of the size each, not counting header or footer.
Bytes Id3v2Header(uint8_t flags, const std::array<uint8_t, 4>& sizeBytes);
std::array<uint8_t, 4> SyncSafe(uint32_t size);

// `file` behind an ID3v2 tag of `payloadBytes` padding.
Bytes WithId3v2Prefix(const Bytes& file, uint32_t payloadBytes = 100);

}  // namespace cvx::samples
