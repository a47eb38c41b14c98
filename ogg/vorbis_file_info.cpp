#include "ogg/vorbis_file_info.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "comment/comment_names.h"
#include "frame/leading_number.h"
#include "frame/open_file_for_record.h"
#include "ogg/narrow_utf8_to_latin1.h"
#include "ogg/opus_in_ogg.h"
#include "ogg/vorbis_file.h"
#include "ogg/vorbis_one_link.h"
#include "opus/opus_file_info.h"

namespace cvx::ogg {

namespace {

// The most bytes NarrowUtf8ToLatin1 reads to fill a field.
constexpr size_t kLongestNarrowedValue = (kTagFieldSize - 1) * kMostBytesPerNarrowedCharacter;

}  // namespace

void TakeComment(TagRecord& record, const char* text, size_t length) {
    comment::CommentValue split;
    if (!comment::SplitComment(text, length, split)) return;
    if (int32_t* number = comment::NumberFieldOf(record, split.target)) {
        *number = LeadingDecimalNumber(split.value, split.length);
    } else {
        // NarrowUtf8ToLatin1 reads C text, as libvorbis keeps a comment.
        char terminated[kLongestNarrowedValue + 1];
        const size_t kept = std::min(split.length, kLongestNarrowedValue);
        std::memcpy(terminated, split.value, kept);
        terminated[kept] = '\0';
        NarrowUtf8ToLatin1(terminated, comment::TextFieldOf(record, split.target), kTagFieldSize);
    }
}

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
            const char* text = comments->user_comments[i];
            if (text != nullptr) TakeComment(record, text, std::strlen(text));
        }
    }
}

int32_t CVX_THISCALL VorbisFileInfo::Open(const char* path) noexcept {
    int64_t sizeBytes = 0;
    const FilePtr file = OpenFileForRecord(record_, path, &sizeBytes);
    if (!file) return 1;
    FileWindows read(file.get(), sizeBytes);
    double totalSeconds = 0;
    if (ReadOneLinkVorbis(read, totalSeconds, record_) == OneLinkVorbis::kAnswered) {
        record_.length = WholeSeconds(totalSeconds);
        return 0;
    }
    VorbisFile vorbis;  // declared after the stream: cleared before it closes
    if (!vorbis.Open(file.get(), sizeBytes, &read)) {
        if (vorbis.openResult() == OV_ENOTVORBIS && FirstStreamIsOpus(file.get(), sizeBytes, read)) {
            return opus::ReadOpusFile(record_, file.get(), sizeBytes);
        }
        return 1;
    }
    TakeLengthAndTags(record_, vorbis.get());
    return 0;
}

}  // namespace cvx::ogg
