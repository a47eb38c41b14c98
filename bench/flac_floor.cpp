#include <FLAC/metadata.h>

#include <cstdlib>

#include "bench/raw_record.h"
#include "flac/id3v1_layout.h"

namespace cvx::bench {

namespace {

using namespace cvx::flac;

// A text field of the tag as it stands, up to its first NUL.
void CopyId3v1Text(char* field, const char* tag, size_t offset) {
    CopyRaw(field, tag + offset, strnlen(tag + offset, kId3v1TextSize));
}

void ReadId3v1(const char* path, RawRecord& record) {
    const FilePtr file(std::fopen(path, "rb"));
    if (!file) return;
    std::setvbuf(file.get(), nullptr, _IONBF, 0);  // one 128-byte read
    char tag[kId3v1Size];
    const bool read = std::fseek(file.get(), -static_cast<long>(kId3v1Size), SEEK_END) == 0 &&
                      std::fread(tag, 1, sizeof tag, file.get()) == sizeof tag;
    if (!read || std::memcmp(tag, kId3v1Id, kId3v1IdSize) != 0) return;
    CopyId3v1Text(record.title, tag, kId3v1TitleOffset);
    CopyId3v1Text(record.artist, tag, kId3v1ArtistOffset);
    CopyId3v1Text(record.album, tag, kId3v1AlbumOffset);
    CopyId3v1Text(record.comment, tag, kId3v1CommentOffset);
    record.year = std::atoi(std::string(tag + kId3v1YearOffset, kId3v1YearSize).c_str());
    if (tag[kId3v1TrackMarkerOffset] == 0) record.track = static_cast<unsigned char>(tag[kId3v1TrackOffset]);
}

class FlacFloorReader : public Reader {
public:
    void Read(const char* path, PassTotals& totals) override {
        RawRecord record;
        record.fileSize = ProbeSize(path);
        FLAC__StreamMetadata info;
        if (!FLAC__metadata_get_streaminfo(path, &info)) {
            ++totals.files;
            ++totals.failed;
            return;
        }
        if (info.data.stream_info.sample_rate != 0) {
            record.length = static_cast<int32_t>(info.data.stream_info.total_samples / info.data.stream_info.sample_rate);
        }
        FLAC__Metadata_SimpleIterator* iterator = FLAC__metadata_simple_iterator_new();
        if (FLAC__metadata_simple_iterator_init(iterator, path, true, false)) {
            do {
                if (FLAC__metadata_simple_iterator_get_block_type(iterator) != FLAC__METADATA_TYPE_VORBIS_COMMENT) continue;
                FLAC__StreamMetadata* block = FLAC__metadata_simple_iterator_get_block(iterator);
                if (block == nullptr) continue;
                const FLAC__StreamMetadata_VorbisComment& comments = block->data.vorbis_comment;
                for (FLAC__uint32 i = 0; i < comments.num_comments; ++i) {
                    record.TakeComment(reinterpret_cast<const char*>(comments.comments[i].entry),
                                       comments.comments[i].length);
                }
                FLAC__metadata_object_delete(block);
            } while (FLAC__metadata_simple_iterator_next(iterator));
        }
        FLAC__metadata_simple_iterator_delete(iterator);
        if (!record.title[0] || !record.artist[0] || !record.album[0]) ReadId3v1(path, record);
        record.AddTo(totals);
    }
};

}  // namespace

std::unique_ptr<Reader> MakeFlacFloorReader() { return std::make_unique<FlacFloorReader>(); }

}  // namespace cvx::bench
