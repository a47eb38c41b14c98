#include <opusfile.h>

#include <cstdlib>

#include "bench/raw_record.h"

namespace cvx::bench {

namespace {

constexpr ogg_int64_t kSamplesPerSecond = 48000;

// Appends `value` to `field`, joining repeated names with ", ".
void AppendRaw(char* field, const char* value, size_t length) {
    size_t used = std::strlen(field);
    if (used > 0 && used + 2 < 511) {
        std::memcpy(field + used, ", ", 2);
        used += 2;
    }
    CopyRaw(field + used, value, std::min(length, 511 - used));
}

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
                const char* entry = tags->user_comments[i];
                const auto length = static_cast<size_t>(tags->comment_lengths[i]);
                const char* equals = static_cast<const char*>(std::memchr(entry, '=', length));
                if (equals == nullptr) continue;
                const size_t nameLength = static_cast<size_t>(equals - entry);
                int32_t* number;
                if (char* field = record.TextField(entry, nameLength, number)) {
                    AppendRaw(field, equals + 1, length - nameLength - 1);
                } else if (number != nullptr) {
                    *number = std::atoi(equals + 1);
                }
            }
        }
        op_free(file);
        record.AddTo(totals);
    }
};

}  // namespace

std::unique_ptr<Reader> MakeOpusFloorReader() { return std::make_unique<OpusFloorReader>(); }

}  // namespace cvx::bench
