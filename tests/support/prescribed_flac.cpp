#include <FLAC/metadata.h>

#include <cstring>

#include "flac/flac_file_info.h"
#include "flac/metadata_handles.h"
#include "frame/open_file_for_record.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

int32_t CVX_THISCALL PrescribedFlacFileInfo::Open(const char* path) noexcept {
    const bool opened = OpenFileForRecord(record_, path) != nullptr;  // no FIFO reaches libFLAC
    ClearTags(record_);
    record_.length = 0;
    if (!opened) return 1;
    FLAC__StreamMetadata streamInfo;
    if (!FLAC__metadata_get_streaminfo(path, &streamInfo) || streamInfo.type != FLAC__METADATA_TYPE_STREAMINFO) return 1;
    record_.length = flac::LengthSeconds(streamInfo.data.stream_info);

    const flac::SimpleIteratorPtr iterator(FLAC__metadata_simple_iterator_new());
    if (iterator && FLAC__metadata_simple_iterator_init(iterator.get(), path, flac::kIteratorReadOnly,
                                                        flac::kIteratorPreservesFileStats)) {
        do {
            if (FLAC__metadata_simple_iterator_get_block_type(iterator.get()) != FLAC__METADATA_TYPE_VORBIS_COMMENT) continue;
            if (const flac::BlockPtr block{FLAC__metadata_simple_iterator_get_block(iterator.get())}) {
                flac::TakeCommentBlock(record_, block->data.vorbis_comment);
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
