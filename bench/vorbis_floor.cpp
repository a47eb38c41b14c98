#include <vorbis/vorbisfile.h>

#include <cstdlib>

#include "bench/raw_record.h"

namespace cvx::bench {

namespace {

class VorbisFloorReader : public Reader {
public:
    void Read(const char* path, PassTotals& totals) override {
        RawRecord record;
        record.fileSize = ProbeSize(path);
        // ov_fopen: fopen with stdio's own buffering, then ov_open.
        OggVorbis_File vf;
        if (ov_fopen(path, &vf) != 0) return Fail(totals);
        const double seconds = ov_time_total(&vf, -1);
        record.length = seconds == OV_EINVAL ? 0 : static_cast<int32_t>(seconds);
        if (const vorbis_comment* comments = ov_comment(&vf, -1)) {
            for (int i = 0; i < comments->comments; ++i) {
                const char* entry = comments->user_comments[i];
                const char* equals = entry ? std::strchr(entry, '=') : nullptr;
                if (equals == nullptr) continue;
                int32_t* number;
                if (char* field = record.TextField(entry, static_cast<size_t>(equals - entry), number)) {
                    CopyRaw(field, equals + 1, std::strlen(equals + 1));
                } else if (number != nullptr) {
                    *number = std::atoi(equals + 1);
                }
            }
        }
        ov_clear(&vf);
        record.AddTo(totals);
    }

private:
    static void Fail(PassTotals& totals) {
        ++totals.files;
        ++totals.failed;
    }
};

}  // namespace

std::unique_ptr<Reader> MakeVorbisFloorReader() { return std::make_unique<VorbisFloorReader>(); }

}  // namespace cvx::bench
