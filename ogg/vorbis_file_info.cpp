#include "ogg/vorbis_file_info.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "frame/comment_names.h"
#include "frame/leading_number.h"
#include "frame/platform/regular_file.h"
#include "ogg/narrow_utf8_to_latin1.h"
#include "ogg/vorbis_file.h"
#include "ogg/vorbis_one_link.h"

namespace cvx::ogg {

namespace {

// The most bytes NarrowUtf8ToLatin1 reads to fill a field.
constexpr size_t kLongestNarrowedValue = (kTagFieldSize - 1) * kMostBytesPerNarrowedCharacter;

}  // namespace

void TakeComment(TagRecord& record, const char* text, size_t length) {
    length = strnlen(text, length);  // libvorbis keeps a comment as C text
    const char* equals = static_cast<const char*>(std::memchr(text, '=', length));
    if (equals == nullptr) return;
    CommentTarget target;
    if (!FindCommentTarget(text, static_cast<size_t>(equals - text), target)) return;

    const char* value = equals + 1;
    const size_t valueLength = length - static_cast<size_t>(value - text);
    if (int32_t* number = NumberFieldOf(record, target)) {
        *number = LeadingDecimalNumber(value, valueLength);
    } else {
        char terminated[kLongestNarrowedValue + 1];
        const size_t kept = std::min(valueLength, kLongestNarrowedValue);
        std::memcpy(terminated, value, kept);
        terminated[kept] = '\0';
        NarrowUtf8ToLatin1(terminated, TextFieldOf(record, target), kTagFieldSize);
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
    if (!StorePathAndSize(record_, path)) return 1;

    int64_t sizeBytes = 0;
    const FilePtr file = OpenRegularFileForReading(path, &sizeBytes);
    if (!file) return 1;
    FileWindows read(file.get(), sizeBytes);
    double totalSeconds = 0;
    if (ReadOneLinkVorbis(read, totalSeconds, record_) == OneLinkVorbis::kAnswered) {
        record_.length = WholeSeconds(totalSeconds);
        return 0;
    }
    VorbisFile vorbis;  // declared after the stream: cleared before it closes
    if (!vorbis.Open(file.get(), sizeBytes, &read)) return 1;
    TakeLengthAndTags(record_, vorbis.get());
    return 0;
}

}  // namespace cvx::ogg
