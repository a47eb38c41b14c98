#include <FLAC/metadata.h>

#include <cstring>
#include <memory>

#include "flac/flac_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

namespace {

struct IteratorDeleter {
    void operator()(FLAC__Metadata_SimpleIterator* iterator) const { FLAC__metadata_simple_iterator_delete(iterator); }
};

// Nothing is written through the iterator.
constexpr FLAC__bool kReadOnly = true;
constexpr FLAC__bool kPreserveFileStats = false;

}  // namespace

int32_t CVX_THISCALL PrescribedFlacFileInfo::Open(const char* path) noexcept {
    if (!StorePathAndSize(record_, path)) return 1;
    ClearTags(record_);
    record_.length = 0;
    FLAC__StreamMetadata streamInfo;
    if (!FLAC__metadata_get_streaminfo(path, &streamInfo) || streamInfo.type != FLAC__METADATA_TYPE_STREAMINFO) return 1;
    record_.length = flac::LengthSeconds(streamInfo.data.stream_info);

    const std::unique_ptr<FLAC__Metadata_SimpleIterator, IteratorDeleter> iterator(FLAC__metadata_simple_iterator_new());
    if (iterator && FLAC__metadata_simple_iterator_init(iterator.get(), path, kReadOnly, kPreserveFileStats)) {
        do {
            if (FLAC__metadata_simple_iterator_get_block_type(iterator.get()) != FLAC__METADATA_TYPE_VORBIS_COMMENT) continue;
            if (FLAC__StreamMetadata* block = FLAC__metadata_simple_iterator_get_block(iterator.get())) {
                flac::TakeCommentBlock(record_, block->data.vorbis_comment);
                FLAC__metadata_object_delete(block);
            }
        } while (FLAC__metadata_simple_iterator_next(iterator.get()));
    }
    flac::TakeId3v1WhereLacking(record_);
    return 0;
}

bool SameFields(const TagRecord& a, const TagRecord& b) {
    const auto same = [](const char* x, const char* y, size_t size) { return std::strncmp(x, y, size) == 0; };
    return a.length == b.length && a.year == b.year && a.track == b.track && a.fileSize == b.fileSize &&
           same(a.title, b.title, kTagFieldSize) && same(a.artist, b.artist, kTagFieldSize) &&
           same(a.album, b.album, kTagFieldSize) && same(a.comment, b.comment, kTagFieldSize) &&
           same(a.genre, b.genre, kTagFieldSize) && same(a.path, b.path, kPathFieldSize);
}

}  // namespace cvx::testing
