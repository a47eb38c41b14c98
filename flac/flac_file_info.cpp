#include "flac/flac_file_info.h"

#include <FLAC/metadata.h>

#include <cstring>
#include <memory>

#include "flac/append_tag_value.h"
#include "flac/id3v1.h"
#include "flac/platform/libflac_path.h"
#include "flac/stream_marker.h"
#include "frame/comment_names.h"
#include "frame/platform/regular_file.h"
#include "frame/probe_file_size.h"
#include "frame/leading_number.h"

namespace {

struct IteratorDeleter {
    void operator()(FLAC__Metadata_SimpleIterator* iterator) const {
        FLAC__metadata_simple_iterator_delete(iterator);
    }
};
using SimpleIteratorPtr = std::unique_ptr<FLAC__Metadata_SimpleIterator, IteratorDeleter>;

struct BlockDeleter {
    void operator()(FLAC__StreamMetadata* block) const { FLAC__metadata_object_delete(block); }
};
using BlockPtr = std::unique_ptr<FLAC__StreamMetadata, BlockDeleter>;

// Nothing is written through the iterator, so it opens the file read-only
// and has no file statistics to preserve.
constexpr FLAC__bool kReadOnly = true;
constexpr FLAC__bool kPreserveFileStats = false;

// length = total samples / sample rate, in the int32 field's low 32 bits.
int32_t LengthSeconds(const FLAC__StreamMetadata_StreamInfo& info) {
    if (info.sample_rate == 0) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(info.total_samples / info.sample_rate));
}

// One comment entry "NAME=value". The name ends at the first '=' before any
// NUL; entries with no name match, no '=' or an empty value are skipped.
void ApplyEntry(TagRecord& record, const FLAC__StreamMetadata_VorbisComment_Entry& entry) {
    if (entry.entry == nullptr || entry.length == 0 || entry.entry[0] == '\0') return;
    const char* text = reinterpret_cast<const char*>(entry.entry);
    // The first '=', unless a NUL comes before it; values run long (lyrics,
    // pictures), names are short, so only the name is searched for a NUL.
    const char* equals = static_cast<const char*>(std::memchr(text, '=', entry.length));
    if (equals == nullptr || std::memchr(text, '\0', static_cast<size_t>(equals - text)) != nullptr) return;

    const size_t nameLength = static_cast<size_t>(equals - text);
    const size_t valueLength = entry.length - nameLength - 1;
    const char* value = equals + 1;
    if (valueLength == 0 || value[0] == '\0') return;

    CommentTarget target;
    if (!FindCommentTarget(text, nameLength, target)) return;
    if (int32_t* number = NumberFieldOf(record, target)) {
        *number = LeadingDecimalNumber(value, valueLength);  // the last one wins
    } else {
        AppendTagValue(TextFieldOf(record, target), reinterpret_cast<const uint8_t*>(value),
                       static_cast<uint32_t>(valueLength), kTagFieldSize);
    }
}

// Every VORBIS_COMMENT block of the file, in file order; blocks that cannot
// be read are skipped and the walk stops at the first block it cannot reach.
void ReadVorbisComments(FLAC__Metadata_SimpleIterator* iterator, TagRecord& record) {
    do {
        if (FLAC__metadata_simple_iterator_get_block_type(iterator) != FLAC__METADATA_TYPE_VORBIS_COMMENT) continue;
        const BlockPtr block(FLAC__metadata_simple_iterator_get_block(iterator));
        if (!block) continue;
        const FLAC__StreamMetadata_VorbisComment& comment = block->data.vorbis_comment;
        for (FLAC__uint32 i = 0; i < comment.num_comments && comment.comments != nullptr; ++i) {
            ApplyEntry(record, comment.comments[i]);
        }
    } while (FLAC__metadata_simple_iterator_next(iterator));
}

bool LacksTitleArtistOrAlbum(const TagRecord& record) {
    return record.title[0] == '\0' || record.artist[0] == '\0' || record.album[0] == '\0';
}

// Probes the size and checks for the stream marker on one unbuffered stream.
// libFLAC opens the path itself; the check also keeps it from a FIFO.
bool ProbeSizeAndMarker(TagRecord& record, const char* path) {
    FilePtr file = OpenRegularFileForReading(path);
    if (!file) {
        record.fileSize = -1;
        return false;
    }
    std::setvbuf(file.get(), nullptr, _IONBF, 0);
    // The marker first, while the stream is at its start: one seek saved.
    const bool markerFound = FlacMarkerNearStart(file.get());
    record.fileSize = SizeOfOpenFile(file.get());
    return markerFound;
}

}  // namespace

int32_t CVX_THISCALL FlacFileInfo::Open(const char* path) {
    const bool pathStored = StorePath(record_, path);
    const bool markerFound = pathStored && ProbeSizeAndMarker(record_, path);
    ClearTags(record_);
    record_.length = 0;
    if (!markerFound) return 1;
    LibFlacPath nameBuffer;
    const char* flacName = LibFlacFileName(path, nameBuffer);
    if (flacName == nullptr) return 1;

    FLAC__StreamMetadata streamInfo;
    if (!FLAC__metadata_get_streaminfo(flacName, &streamInfo) ||
        streamInfo.type != FLAC__METADATA_TYPE_STREAMINFO) {
        return 1;
    }
    record_.length = LengthSeconds(streamInfo.data.stream_info);

    // Where the iterator cannot start, no Vorbis comment is read and the
    // fields stay empty, so the ID3v1 tag below is all there is.
    SimpleIteratorPtr iterator(FLAC__metadata_simple_iterator_new());
    if (iterator && FLAC__metadata_simple_iterator_init(iterator.get(), flacName, kReadOnly, kPreserveFileStats)) {
        ReadVorbisComments(iterator.get(), record_);
    }
    iterator.reset();  // closes the file before the tag is read from it

    if (LacksTitleArtistOrAlbum(record_)) ReadId3v1Tag(record_);
    return 0;
}
