// The FLAC reader's Open on arbitrary bytes, against libFLAC's own reading:
// the record must be the one FLAC__metadata_get_streaminfo, the simple
// iterator and the ID3v1 fallback give through the same record rules; and
// wherever the metadata walk vouches for the stream information, that call
// must read the file and give the same sample rate and total.
#include <FLAC/metadata.h>

#include "flac/flac_file_info.h"
#include "flac/metadata_walk.h"
#include "fuzz/open_fuzzer.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::fuzz {

namespace {

void CheckAgainstLibFlac(const flac::FlacFileInfo& reader, const char* path, size_t size, int32_t result) {
    testing::PrescribedFlacFileInfo prescribed;
    CHECK(result == prescribed.Open(path));
    CHECK(testing::SameFields(reader.record(), prescribed.record()));

    if (const auto walked = flac::WalkMetadata(path, static_cast<int64_t>(size), [](const FLAC__StreamMetadata_VorbisComment&) {})) {
        FLAC__StreamMetadata block;
        CHECK(FLAC__metadata_get_streaminfo(path, &block));
        CHECK(walked->sample_rate == block.data.stream_info.sample_rate);
        CHECK(walked->total_samples == block.data.stream_info.total_samples);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOpen<flac::FlacFileInfo>(data, size, CheckAgainstLibFlac);
}

}  // namespace cvx::fuzz
