#include "opus/opus_file_info.h"

#include <cstdio>
#include <memory>

#include "comment/ansi_comment.h"
#include "frame/platform/regular_file.h"
#include "frame/probe_file_size.h"

namespace cvx::opus {

namespace {

constexpr ogg_int64_t kSamplesPerSecond = 48000;  // Opus's PCM is always 48 kHz
constexpr int kAllLinks = -1;
constexpr int kFirstLink = 0;

struct OpusFileCloser {
    void operator()(OggOpusFile* file) const { op_free(file); }
};
using OpusFilePtr = std::unique_ptr<OggOpusFile, OpusFileCloser>;

// libopusfile's stream calls over a stdio stream the reader keeps: no
// close, so that the FILE is released by its own owner on every path.
int ReadStream(void* stream, unsigned char* buffer, int bytes) {
    if (bytes <= 0) return 0;
    std::FILE* file = static_cast<std::FILE*>(stream);
    const size_t read = std::fread(buffer, 1, static_cast<size_t>(bytes), file);
    return read == 0 && std::ferror(file) ? -1 : static_cast<int>(read);
}

int SeekStream(void* stream, opus_int64 offset, int whence) {
    return fseeko(static_cast<std::FILE*>(stream), static_cast<off_t>(offset), whence);
}

opus_int64 TellStream(void* stream) { return ftello(static_cast<std::FILE*>(stream)); }

constexpr OpusFileCallbacks kStdioCallbacks = {ReadStream, SeekStream, TellStream, nullptr};

}  // namespace

int32_t LengthSeconds(ogg_int64_t totalSamples) {
    if (totalSamples < 0) return 0;
    return static_cast<int32_t>(static_cast<uint32_t>(totalSamples / kSamplesPerSecond));
}

void TakeTags(TagRecord& record, const OpusTags& tags) {
    for (int i = 0; i < tags.comments && tags.user_comments != nullptr && tags.comment_lengths != nullptr; ++i) {
        if (tags.comment_lengths[i] <= 0) continue;
        comment::TakeAnsiComment(record, tags.user_comments[i], static_cast<size_t>(tags.comment_lengths[i]));
    }
}

int32_t CVX_THISCALL OpusFileInfo::Open(const char* path) noexcept {
    const bool pathStored = StorePath(record_, path);
    ClearTags(record_);
    record_.length = 0;
    if (!pathStored) return 1;
    int64_t sizeBytes = -1;
    const FilePtr file = OpenRegularFileForReading(path, &sizeBytes);
    record_.fileSize = file ? FileSizeField(sizeBytes) : -1;
    if (!file) return 1;

    int error = 0;
    const OpusFilePtr opus(op_open_callbacks(file.get(), &kStdioCallbacks, nullptr, 0, &error));
    if (!opus) return 1;
    record_.length = LengthSeconds(op_pcm_total(opus.get(), kAllLinks));
    if (const OpusTags* tags = op_tags(opus.get(), kFirstLink)) TakeTags(record_, *tags);
    return 0;
}

}  // namespace cvx::opus
