#include "ogg/vorbis_file_info.h"

#include <vorbis/vorbisfile.h>

#include <cmath>
#include <cstring>

#include "frame/comment_names.h"
#include "frame/leading_number.h"
#include "frame/platform/regular_file.h"
#include "ogg/narrow_utf8_to_latin1.h"
#include "ogg/trimmed_stream.h"

namespace cvx::ogg {

namespace {

// libvorbisfile reads 2 KiB at a time; a larger buffer saves system calls.
constexpr size_t kStreamBufferSize = 16 * 1024;

// An OggVorbis_File that owns its stdio stream once opening has succeeded;
// ov_clear then releases both. After a failed open the stream stays with the
// caller, who closes it exactly once.
class VorbisFile {
public:
    VorbisFile() = default;
    VorbisFile(const VorbisFile&) = delete;
    VorbisFile& operator=(const VorbisFile&) = delete;
    ~VorbisFile() {
        if (opened_) ov_clear(&handle_);
    }

    // ov_open in two steps: the headers are checked on the whole file, and
    // only a file that starts as Ogg Vorbis is searched for its last page
    // (and, when chained, for gaps between its links) before libvorbisfile
    // measures it. Neither step closes the stream when it fails.
    bool Open(FilePtr& file) {
        stream_ = WholeStream(file.get());
        if (ov_test_callbacks(&stream_, &handle_, nullptr, 0, kTrimmedStreamCallbacks) != 0) return false;
        TrimToLastOggPage(stream_);
        // After the headers: where the first link's audio starts, and its
        // streams' serial numbers (count, then the numbers).
        HideGapsBetweenLinks(stream_, static_cast<off_t>(handle_.dataoffsets[0]), handle_.serialnos + 2,
                             static_cast<int>(handle_.serialnos[1]));
        if (ov_test_open(&handle_) != 0) return false;
        file.release();
        opened_ = true;
        return true;
    }

    OggVorbis_File* get() { return &handle_; }

private:
    TrimmedStream stream_{};  // read by libvorbisfile until ov_clear
    OggVorbis_File handle_{};
    bool opened_ = false;
};

// One comment string "NAME=value"; other names and strings without '=' are
// ignored. Deliberate: a later comment of the same name replaces the earlier
// value, where FLAC joins them. Pinned by OggPlugin.TheLastCommentOfANameWins.
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

int32_t CVX_THISCALL VorbisFileInfo::Open(const char* path) noexcept {
    // Deliberate: until the stream opens, a failure keeps the last file's
    // length and tags, where FLAC empties them. Pinned by
    // OggPlugin.AFailedOpenUpdatesPathAndSizeAndKeepsTheRest.
    if (!StorePathAndSize(record_, path)) return 1;

    // Declared first, so it outlives the stream that uses it.
    char streamBuffer[kStreamBufferSize];
    FilePtr file = OpenRegularFileForReading(path);
    if (!file) return 1;
    std::setvbuf(file.get(), streamBuffer, _IOFBF, sizeof streamBuffer);
    VorbisFile vorbis;
    if (!vorbis.Open(file)) return 1;

    record_.length = WholeSeconds(ov_time_total(vorbis.get(), -1));

    ClearTags(record_);
    // The first logical stream's comments; a chained file's later streams
    // count only towards the length.
    if (const vorbis_comment* comments = ov_comment(vorbis.get(), -1)) {
        for (int i = 0; i < comments->comments; ++i) {
            if (comments->user_comments[i] != nullptr) {
                ApplyComment(record_, comments->user_comments[i]);
            }
        }
    }
    return 0;
}

}  // namespace cvx::ogg
