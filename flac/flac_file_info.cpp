#include "flac/flac_file_info.h"

#include <FLAC/metadata.h>

#include <optional>

#include "comment/ansi_comment.h"
#include "flac/id3v1.h"
#include "flac/metadata_walk.h"
#include "flac/platform/libflac_path.h"
#include "frame/open_file_for_record.h"

namespace cvx::flac {

int32_t LengthSeconds(const FLAC__StreamMetadata_StreamInfo& info) {
    if (info.sample_rate == 0) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(info.total_samples / info.sample_rate));
}

void TakeCommentBlock(TagRecord& record, const FLAC__StreamMetadata_VorbisComment& comment) {
    for (FLAC__uint32 i = 0; i < comment.num_comments && comment.comments != nullptr; ++i) {
        const FLAC__StreamMetadata_VorbisComment_Entry& entry = comment.comments[i];
        comment::TakeAnsiComment(record, reinterpret_cast<const char*>(entry.entry), entry.length);
    }
}

void TakeId3v1WhereLacking(TagRecord& record) {
    if (record.title[0] == '\0' || record.artist[0] == '\0' || record.album[0] == '\0') ReadId3v1Tag(record);
}

int32_t CVX_THISCALL FlacFileInfo::Open(const char* path) noexcept {
    // libFLAC opens the path itself: the stream only probes the size, and
    // keeps libFLAC from a FIFO.
    int64_t fileSizeBytes = -1;
    const bool opened = OpenFileForRecord(record_, path, &fileSizeBytes) != nullptr;
    ClearTags(record_);
    record_.length = 0;
    if (!opened) return 1;
    LibFlacPath nameBuffer;
    const char* flacName = LibFlacFileName(path, nameBuffer);
    if (flacName == nullptr) return 1;

    // Where the iterator cannot start, no Vorbis comment is read and the
    // fields stay empty, so the ID3v1 tag below is all there is.
    std::optional<FLAC__StreamMetadata_StreamInfo> streamInfo = WalkMetadata(
        flacName, fileSizeBytes, [this](const FLAC__StreamMetadata_VorbisComment& comment) { TakeCommentBlock(record_, comment); });
    // Where the walk cannot vouch for it, libFLAC's own reading decides.
    if (!streamInfo) {
        FLAC__StreamMetadata block;
        if (!FLAC__metadata_get_streaminfo(flacName, &block) || block.type != FLAC__METADATA_TYPE_STREAMINFO) {
            ClearTags(record_);
            return 1;
        }
        streamInfo = block.data.stream_info;
    }
    record_.length = LengthSeconds(*streamInfo);

    TakeId3v1WhereLacking(record_);
    return 0;
}

}  // namespace cvx::flac
