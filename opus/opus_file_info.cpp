#include "opus/opus_file_info.h"

#include <cstdio>
#include <memory>

#include "comment/ansi_comment.h"
#include "frame/open_file_for_record.h"
#include "opus/opus_one_link.h"

namespace cvx::opus {

namespace {

constexpr ogg_int64_t kSamplesPerSecond = 48000;  // Opus's PCM is always 48 kHz
constexpr int kAllLinks = -1;
constexpr int kFirstLink = 0;

struct OpusFileCloser {
    void operator()(OggOpusFile* file) const { op_free(file); }
};
using OpusFilePtr = std::unique_ptr<OggOpusFile, OpusFileCloser>;

// libopusfile's stream calls over a stdio stream the reader keeps (no
// close, so that the FILE is released by its own owner on every path),
// giving what the one-link reading read from memory instead.
struct OpusInput {
    std::FILE* file;
    int64_t fileSizeBytes;
    const ogg::FileWindows& alreadyRead;
    int64_t position = 0;   // as libopusfile sees it
    int64_t streamAt = -1;  // where the stdio stream stands, -1 when unknown
};

// Up to `count` bytes at the reader's position: from memory where the
// one-link reading holds them, else from the file. 0 at the end of the
// file, -1 when it cannot be read.
int64_t ReadPiece(OpusInput& in, unsigned char* destination, size_t count) {
    if (const size_t copied = in.alreadyRead.CopyOut(in.position, destination, count)) {
        return static_cast<int64_t>(copied);
    }
    if (in.streamAt != in.position) {
        if (fseeko(in.file, static_cast<off_t>(in.position), SEEK_SET) != 0) return -1;
        in.streamAt = in.position;
    }
    const size_t read = std::fread(destination, 1, count, in.file);
    in.streamAt += static_cast<int64_t>(read);
    return read == 0 && std::ferror(in.file) ? -1 : static_cast<int64_t>(read);
}

// Reads are whole but at the end of the file, as stdio's are: libopusfile's
// page search up to a boundary (op_get_next_page) finds a page that crosses
// the boundary only when an earlier, longer read brought it in, so a read
// cut short where the bytes in memory end would change its answer.
int ReadStream(void* stream, unsigned char* buffer, int bytes) {
    auto& in = *static_cast<OpusInput*>(stream);
    int done = 0;
    while (done < bytes) {
        const int64_t read = ReadPiece(in, buffer + done, static_cast<size_t>(bytes - done));
        if (read < 0) return done > 0 ? done : -1;
        if (read == 0) break;
        done += static_cast<int>(read);
        in.position += read;
    }
    return done;
}

int SeekStream(void* stream, opus_int64 offset, int whence) {
    auto& in = *static_cast<OpusInput*>(stream);
    const int64_t from = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? in.position : in.fileSizeBytes;
    if ((whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) || from + offset < 0) return -1;
    in.position = from + offset;
    return 0;
}

opus_int64 TellStream(void* stream) { return static_cast<OpusInput*>(stream)->position; }

constexpr OpusFileCallbacks kInputCallbacks = {ReadStream, SeekStream, TellStream, nullptr};

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

int32_t ReadOpusFile(TagRecord& record, std::FILE* file, int64_t sizeBytes) {
    ClearTags(record);
    record.length = 0;
    ogg::FileWindows read(file, sizeBytes);
    int64_t totalSamples = 0;
    if (ReadOneLinkOpus(read, totalSamples, record) == OneLinkOpus::kAnswered) {
        record.length = LengthSeconds(totalSamples);
        return 0;
    }
    OpusInput input{file, sizeBytes, read};
    int error = 0;
    const OpusFilePtr opus(op_open_callbacks(&input, &kInputCallbacks, nullptr, 0, &error));
    if (!opus) return 1;
    record.length = LengthSeconds(op_pcm_total(opus.get(), kAllLinks));
    if (const OpusTags* tags = op_tags(opus.get(), kFirstLink)) TakeTags(record, *tags);
    return 0;
}

int32_t CVX_THISCALL OpusFileInfo::Open(const char* path) noexcept {
    int64_t sizeBytes = -1;
    const FilePtr file = OpenFileForRecord(record_, path, &sizeBytes);
    ClearTags(record_);
    record_.length = 0;
    if (!file) return 1;
    return ReadOpusFile(record_, file.get(), sizeBytes);
}

}  // namespace cvx::opus
