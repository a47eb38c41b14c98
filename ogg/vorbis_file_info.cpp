#include "ogg/vorbis_file_info.h"

#include <cmath>
#include <cstring>

#include "frame/comment_names.h"
#include "frame/leading_number.h"
#include "frame/platform/regular_file.h"
#include "ogg/narrow_utf8_to_latin1.h"
#include "ogg/vorbis_file.h"

namespace cvx::ogg {

namespace {

// One comment string "NAME=value"; other names and strings without '=' are
// ignored.
void ApplyComment(TagRecord& record, const char* comment) {
    const char* equals = std::strchr(comment, '=');
    if (equals == nullptr) return;
    CommentTarget target;
    if (!FindCommentTarget(comment, static_cast<size_t>(equals - comment), target)) return;

    const char* value = equals + 1;
    if (int32_t* number = NumberFieldOf(record, target)) {
        *number = LeadingDecimalNumber(value);
    } else {
        NarrowUtf8ToLatin1(value, TextFieldOf(record, target), kTagFieldSize);
    }
}

}  // namespace

int32_t WholeSeconds(double totalSeconds) {
    if (totalSeconds == OV_EINVAL || !std::isfinite(totalSeconds)) return 0;
    constexpr double kTwoTo32 = 4294967296.0;
    double wrapped = std::fmod(std::trunc(totalSeconds), kTwoTo32);
    if (wrapped < 0) wrapped += kTwoTo32;
    return static_cast<int32_t>(static_cast<uint32_t>(wrapped));
}

void TakeLengthAndTags(TagRecord& record, OggVorbis_File& vorbis) {
    record.length = WholeSeconds(ov_time_total(&vorbis, -1));
    ClearTags(record);
    // The first logical stream's comments; a chained file's later streams
    // count only towards the length.
    if (const vorbis_comment* comments = ov_comment(&vorbis, -1)) {
        for (int i = 0; i < comments->comments; ++i) {
            if (comments->user_comments[i] != nullptr) ApplyComment(record, comments->user_comments[i]);
        }
    }
}

int32_t CVX_THISCALL VorbisFileInfo::Open(const char* path) noexcept {
    if (!StorePathAndSize(record_, path)) return 1;

    int64_t sizeBytes = 0;
    const FilePtr file = OpenRegularFileForReading(path, &sizeBytes);
    if (!file) return 1;
    VorbisFile vorbis;  // declared after the stream: cleared before it closes
    if (!vorbis.Open(file.get(), sizeBytes)) return 1;
    TakeLengthAndTags(record_, vorbis.get());
    return 0;
}

}  // namespace cvx::ogg
