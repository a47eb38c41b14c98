#include <FLAC/metadata.h>

#include <cstdlib>

#include "bench/raw_record.h"

namespace cvx::bench {

namespace {

constexpr long kId3v1Size = 128;

void ReadId3v1(const char* path, RawRecord& record) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return;
    std::setvbuf(file, nullptr, _IONBF, 0);  // one 128-byte read
    char tag[kId3v1Size];
    const bool read = std::fseek(file, -kId3v1Size, SEEK_END) == 0 && std::fread(tag, 1, sizeof tag, file) == sizeof tag;
    std::fclose(file);
    if (!read || std::memcmp(tag, "TAG", 3) != 0) return;
    CopyRaw(record.title, tag + 3, strnlen(tag + 3, 30));
    CopyRaw(record.artist, tag + 33, strnlen(tag + 33, 30));
    CopyRaw(record.album, tag + 63, strnlen(tag + 63, 30));
    CopyRaw(record.comment, tag + 97, strnlen(tag + 97, 30));
    record.year = std::atoi(std::string(tag + 93, 4).c_str());
    if (tag[125] == 0) record.track = static_cast<unsigned char>(tag[126]);
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
