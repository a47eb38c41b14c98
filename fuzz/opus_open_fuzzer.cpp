// The OPUS reader's Open on arbitrary bytes, against libopusfile's own
// reading of them: op_open_file, op_pcm_total and op_tags on the file as it
// is, through the same record rules. The records must be equal, and the
// reader may lose no more memory than libopusfile itself loses on the file.
#include "fuzz/open_fuzzer.h"
#include "opus/opus_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::fuzz {

namespace {

void CheckAgainstLibopusfile(const opus::OpusFileInfo& reader, const char* path, size_t, int32_t result) {
    testing::PrescribedOpusFileInfo prescribed;
    int32_t expected = 0;
    const size_t lostByLibopusfile = BytesKeptBy([&] { expected = prescribed.Open(path); });
    CHECK(result == expected);
    CHECK(testing::SameFields(reader.record(), prescribed.record()));
    CheckLosesNoMoreThan<opus::OpusFileInfo>(path, lostByLibopusfile);
}

}  // namespace

// libopusfile 0.12 leaks a later link's comment header inside a failing open
// of some damaged chained files; the memory is lost within the library
// (opus_tags_parse allocates it), where nothing can free it. Leaks anywhere
// else still fail the run.
SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:opus_tags_parse\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOpen<opus::OpusFileInfo>(data, size, CheckAgainstLibopusfile);
}

}  // namespace cvx::fuzz
