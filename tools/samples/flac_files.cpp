#include "tools/samples/flac_files.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_encoder.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "flac/id3v1_layout.h"
#include "tools/samples/tone.h"
#include "tools/samples/vorbis_comment.h"

namespace cvx::samples {

using namespace cvx::flac;

namespace {

// A growable in-memory file for the encoder, which seeks back to rewrite
// STREAMINFO when it finishes.
struct MemoryFile {
    Bytes bytes;
    size_t position = 0;
};

FLAC__StreamEncoderWriteStatus Write(const FLAC__StreamEncoder*, const FLAC__byte buffer[], size_t count, uint32_t,
                                     uint32_t, void* data) {
    auto* file = static_cast<MemoryFile*>(data);
    if (file->position + count > file->bytes.size()) file->bytes.resize(file->position + count);
    std::memcpy(file->bytes.data() + file->position, buffer, count);
    file->position += count;
    return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
}

FLAC__StreamEncoderSeekStatus Seek(const FLAC__StreamEncoder*, FLAC__uint64 offset, void* data) {
    static_cast<MemoryFile*>(data)->position = static_cast<size_t>(offset);
    return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
}

FLAC__StreamEncoderTellStatus Tell(const FLAC__StreamEncoder*, FLAC__uint64* offset, void* data) {
    *offset = static_cast<MemoryFile*>(data)->position;
    return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
}

struct DeleteEncoder {
    void operator()(FLAC__StreamEncoder* encoder) const { FLAC__stream_encoder_delete(encoder); }
};
struct DeleteMetadata {
    void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};

}  // namespace

Bytes EncodeFlac(const FlacStream& stream) {
    const std::unique_ptr<FLAC__StreamEncoder, DeleteEncoder> owner(FLAC__stream_encoder_new());
    FLAC__StreamEncoder* const encoder = owner.get();
    if (encoder == nullptr) throw std::bad_alloc();
    FLAC__stream_encoder_set_channels(encoder, stream.channels);
    FLAC__stream_encoder_set_bits_per_sample(encoder, 16);
    FLAC__stream_encoder_set_sample_rate(encoder, stream.sampleRateHz);
    FLAC__stream_encoder_set_compression_level(encoder, 0);
    FLAC__stream_encoder_set_total_samples_estimate(encoder, stream.totalSamples);

    // The encoder keeps a pointer to the block: it must outlive finishing.
    std::unique_ptr<FLAC__StreamMetadata, DeleteMetadata> comments;
    if (!stream.comments.empty()) {
        comments.reset(FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT));
        if (!comments) throw std::bad_alloc();
        for (const std::string& text : stream.comments) {
            FLAC__StreamMetadata_VorbisComment_Entry entry;
            entry.length = static_cast<FLAC__uint32>(text.size());
            entry.entry = reinterpret_cast<FLAC__byte*>(const_cast<char*>(text.data()));
            FLAC__metadata_object_vorbiscomment_append_comment(comments.get(), entry, /*copy=*/true);
        }
        FLAC__StreamMetadata* blocks[] = {comments.get()};
        FLAC__stream_encoder_set_metadata(encoder, blocks, 1);
    }

    MemoryFile file;
    if (FLAC__stream_encoder_init_stream(encoder, Write, Seek, Tell, nullptr, &file) !=
        FLAC__STREAM_ENCODER_INIT_STATUS_OK) {
        throw std::runtime_error("FLAC encoder refused the format");
    }
    constexpr uint32_t kChunk = 4096;
    constexpr float kFullScale = 32767.0f;  // 16 bits per sample
    std::vector<FLAC__int32> samples(kChunk * stream.channels);
    for (uint64_t done = 0; done < stream.totalSamples;) {
        const auto count = static_cast<uint32_t>(std::min<uint64_t>(kChunk, stream.totalSamples - done));
        for (uint32_t i = 0; i < count; ++i) {
            for (uint32_t c = 0; c < stream.channels; ++c) {
                const float sample = ToneSample(stream.toneHz, stream.sampleRateHz, done + i, static_cast<int>(c));
                samples[i * stream.channels + c] = static_cast<FLAC__int32>(sample * kFullScale);
            }
        }
        FLAC__stream_encoder_process_interleaved(encoder, samples.data(), count);
        done += count;
    }
    FLAC__stream_encoder_finish(encoder);
    return file.bytes;
}

FlacParts SplitFlac(const Bytes& file) {
    FlacParts parts;
    size_t offset = kFlacStreamMarkerSize;
    bool last = false;
    while (!last && offset + kFlacBlockHeaderSize <= file.size()) {
        last = (file[offset] & kFlacLastBlockFlag) != 0;
        const uint8_t type = file[offset] & kFlacBlockTypeMask;
        const size_t length = (size_t{file[offset + 1]} << 16) | (size_t{file[offset + 2]} << 8) | file[offset + 3];
        offset += kFlacBlockHeaderSize;
        parts.blocks.push_back({type, Bytes(file.begin() + offset, file.begin() + offset + length)});
        offset += length;
    }
    parts.audio.assign(file.begin() + offset, file.end());
    return parts;
}

Bytes AssembleFlac(const std::vector<MetadataBlock>& blocks, const Bytes& audio) {
    Bytes out(FLAC__STREAM_SYNC_STRING, FLAC__STREAM_SYNC_STRING + kFlacStreamMarkerSize);
    for (size_t i = 0; i < blocks.size(); ++i) {
        const bool last = i + 1 == blocks.size();
        out.push_back(static_cast<uint8_t>((last ? kFlacLastBlockFlag : 0) | blocks[i].type));
        AppendBigEndian(out, blocks[i].body.size(), 3);
        out.insert(out.end(), blocks[i].body.begin(), blocks[i].body.end());
    }
    out.insert(out.end(), audio.begin(), audio.end());
    return out;
}

MetadataBlock StreamInfoBlock(uint32_t sampleRateHz, uint64_t totalSamples, uint32_t channels) {
    // min/max block size (16 bits each), min/max frame size (24 bits each),
    // then 20 bits rate, 3 bits channels - 1, 5 bits bits per sample - 1,
    // 36 bits total samples, and a 16-byte MD5.
    Bytes body;
    AppendBigEndian(body, 4096, 2);
    AppendBigEndian(body, 4096, 2);
    AppendBigEndian(body, 0, 3);
    AppendBigEndian(body, 0, 3);
    const uint64_t packed = (uint64_t{sampleRateHz} << 44) | (uint64_t{channels - 1} << 41) | (uint64_t{15} << 36) |
                            (totalSamples & 0xFFFFFFFFFull);
    AppendBigEndian(body, packed, 8);
    body.insert(body.end(), 16, 0);
    return {kStreamInfoType, body};
}

MetadataBlock VorbisCommentBlock(const std::vector<std::string>& entries, const std::string& vendor) {
    return {kVorbisCommentType, VorbisCommentBody(entries, vendor)};
}

MetadataBlock PaddingBlock(size_t sizeBytes) { return {kPaddingType, Bytes(sizeBytes, 0)}; }

MetadataBlock ApplicationBlock(const std::string& id, const Bytes& data) {
    Bytes body(id.begin(), id.end());
    body.resize(4, ' ');
    body.insert(body.end(), data.begin(), data.end());
    return {kApplicationType, body};
}

MetadataBlock SeekTableBlock(size_t points) {
    constexpr uint64_t kSamplesApart = 44100 * 10;
    Bytes body;
    for (size_t i = 0; i < points; ++i) {
        AppendBigEndian(body, i * kSamplesApart, 8);
        AppendBigEndian(body, i * 100000, 8);
        AppendBigEndian(body, 4096, 2);
    }
    return {kSeekTableType, body};
}

MetadataBlock CueSheetBlock() {
    // Catalogue number (128), lead-in samples (8), CD flag and reserved bits
    // (259), track count (1); each track: offset (8), number (1), ISRC (12),
    // type and pre-emphasis with reserved bits (14), index count (1), and
    // per index: offset (8), number (1), reserved (3).
    Bytes body(128, 0);
    AppendBigEndian(body, 88200, 8);
    body.push_back(0x80);  // a CD
    body.insert(body.end(), 258, 0);
    body.push_back(2);
    for (const uint8_t number : {uint8_t{1}, uint8_t{170}}) {  // track 1, then the lead-out
        AppendBigEndian(body, number == 1 ? 0 : 441000, 8);
        body.push_back(number);
        body.insert(body.end(), 12 + 14, 0);
        body.push_back(number == 1 ? 1 : 0);
        if (number == 1) body.insert(body.end(), {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});
    }
    return {kCueSheetType, body};
}

MetadataBlock PictureBlock(const Bytes& pictureBody) { return {kPictureType, pictureBody}; }

Bytes WithMetadataBlocks(const Bytes& file, const std::vector<MetadataBlock>& blocks) {
    FlacParts parts = SplitFlac(file);
    parts.blocks.insert(parts.blocks.end(), blocks.begin(), blocks.end());
    return AssembleFlac(parts.blocks, parts.audio);
}

Bytes FlacWithTwoCommentBlocks(const std::vector<std::string>& first, const std::vector<std::string>& second,
                               const FlacStream& audio) {
    FlacStream bare = audio;
    bare.comments.clear();
    const FlacParts real = SplitFlac(EncodeFlac(bare));
    return AssembleFlac({real.blocks.at(0), VorbisCommentBlock(first), {kPaddingType, Bytes(16, 0)},
                         VorbisCommentBlock(second)},
                        real.audio);
}

Bytes Id3v1Tag(const Id3v1Fields& fields) {
    Bytes tag(kId3v1Size, 0);
    auto put = [&](size_t offset, const std::string& text, size_t size) {
        std::memcpy(tag.data() + offset, text.data(), std::min(text.size(), size));
    };
    put(0, kId3v1Id, kId3v1IdSize);
    put(kId3v1TitleOffset, fields.title, kId3v1TextSize);
    put(kId3v1ArtistOffset, fields.artist, kId3v1TextSize);
    put(kId3v1AlbumOffset, fields.album, kId3v1TextSize);
    put(kId3v1YearOffset, fields.year, kId3v1YearSize);
    if (fields.track) {
        put(kId3v1CommentOffset, fields.comment, kId3v1_1CommentSize);
        tag[kId3v1TrackMarkerOffset] = 0;
        tag[kId3v1TrackOffset] = *fields.track;
    } else {
        // Space padding keeps the track marker byte nonzero, so the tag reads
        // as ID3v1.0.
        std::memset(tag.data() + kId3v1CommentOffset, ' ', kId3v1TextSize);
        put(kId3v1CommentOffset, fields.comment, kId3v1TextSize);
    }
    tag[kId3v1GenreOffset] = fields.genre;
    return tag;
}

Bytes WithId3v1(Bytes file, const Bytes& tag) {
    file.insert(file.end(), tag.begin(), tag.end());
    return file;
}

std::array<uint8_t, 4> SyncSafe(uint32_t size) {
    return {static_cast<uint8_t>((size >> 21) & 0x7F), static_cast<uint8_t>((size >> 14) & 0x7F),
            static_cast<uint8_t>((size >> 7) & 0x7F), static_cast<uint8_t>(size & 0x7F)};
}

Bytes Id3v2Header(uint8_t flags, const std::array<uint8_t, 4>& sizeBytes) {
    Bytes header = {'I', 'D', '3', 4, 0, flags};
    header.insert(header.end(), sizeBytes.begin(), sizeBytes.end());
    return header;
}

Bytes WithId3v2Prefix(const Bytes& file, uint32_t payloadBytes) {
    return Concatenated({Id3v2Header(0, SyncSafe(payloadBytes)), Bytes(payloadBytes, 0), file});
}

}  // namespace cvx::samples
