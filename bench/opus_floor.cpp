#include <opusfile.h>

#include "bench/raw_record.h"

namespace cvx::bench {

namespace {

constexpr ogg_int64_t kSamplesPerSecond = 48000;

class OpusFloorReader : public Reader {
public:
    void Read(const char* path, PassTotals& totals) override {
        RawRecord record;
        record.fileSize = ProbeSize(path);
        int error = 0;
        OggOpusFile* file = op_open_file(path, &error);
        if (file == nullptr) {
            ++totals.files;
            ++totals.failed;
            return;
        }
        const ogg_int64_t samples = op_pcm_total(file, -1);
        if (samples > 0) record.length = static_cast<int32_t>(samples / kSamplesPerSecond);
        if (const OpusTags* tags = op_tags(file, 0)) {
            for (int i = 0; i < tags->comments; ++i) {
                record.TakeComment(tags->user_comments[i], static_cast<size_t>(tags->comment_lengths[i]));
            }
        }
        op_free(file);
        record.AddTo(totals);
    }
};

}  // namespace

std::unique_ptr<Reader> MakeOpusFloorReader() { return std::make_unique<OpusFloorReader>(); }

}  // namespace cvx::bench
