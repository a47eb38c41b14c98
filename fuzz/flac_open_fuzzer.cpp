// The FLAC reader's Open on arbitrary bytes, against libFLAC's own reading:
// wherever the metadata walk vouches for the stream information, the stream
// decoder (FLAC__metadata_get_streaminfo) must read the file and give the
// same sample rate and total; and Open must succeed exactly when that call
// does (given the stream marker), with the length it implies.
#include <FLAC/metadata.h>

#include "flac/flac_file_info.h"
#include "flac/metadata_walk.h"
#include "fuzz/open_fuzzer.h"

namespace cvx::fuzz {

using namespace cvx::flac;

namespace {

void CheckAgainstLibFlac(const FlacFileInfo& reader, const char* path, size_t size, int32_t result) {
    FLAC__StreamMetadata block;
    const bool libFlacReads = FLAC__metadata_get_streaminfo(path, &block);
    const FLAC__StreamMetadata_StreamInfo& libFlac = block.data.stream_info;

    const auto walked = WalkMetadata(path, static_cast<int64_t>(size), nullptr, nullptr);
    if (walked) {
        CHECK(libFlacReads);
        CHECK(walked->sample_rate == libFlac.sample_rate);
        CHECK(walked->total_samples == libFlac.total_samples);
    }
    if (!libFlacReads) CHECK(result == 1);
    if (result == 0) {
        CHECK(libFlacReads);
        const uint64_t seconds = libFlac.sample_rate == 0 ? 0 : libFlac.total_samples / libFlac.sample_rate;
        CHECK(reader.record().length == static_cast<int32_t>(static_cast<uint32_t>(seconds)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOpen<FlacFileInfo>(data, size, CheckAgainstLibFlac);
}

}  // namespace cvx::fuzz
