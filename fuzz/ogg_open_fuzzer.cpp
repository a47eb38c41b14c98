// The OGG reader's Open on arbitrary bytes, against libvorbisfile's own
// reading of them: ov_open_callbacks over the file as it is, ov_time_total
// and ov_comment, through the same record rules. Built with small read
// limits (ogg/read_limits.h) and a small CHUNKSIZE, so that a few KiB take
// every road: the one-link reading, and the first reading, the view without
// page-free runs, the final reading and the refusal past the final budget,
// which are also tried alone on every input. The records must be equal,
// except that the reader may refuse a file on which libvorbisfile's own
// reading passes the final budget.
#include "fuzz/open_fuzzer.h"
#include "ogg/read_limits.h"
#include "ogg/vorbis_file_info.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::fuzz {

namespace {

void CheckAgainstLibvorbisfile(const ogg::VorbisFileInfo& reader, const char* path, size_t size, int32_t result) {
    testing::PrescribedVorbisFileInfo prescribed;
    int32_t expected = 0;
    const size_t lostByLibvorbisfile = BytesKeptBy([&] { expected = prescribed.Open(path); });
    CheckLosesNoMoreThan<ogg::VorbisFileInfo>(path, lostByLibvorbisfile);
    const int64_t cost = ogg::ReadingCost(prescribed.bytesRead(), prescribed.seeks());
    const bool pastTheFinalBudget = expected == 0 && cost >= ogg::FinalReadBudget(static_cast<int64_t>(size));
    // libvorbisfile's roads alone must give its answer too, also on a file
    // the one-link reading answers.
    testing::VorbisRoadsFileInfo roads;
    const int32_t byRoads = roads.Open(path);
    if (!(byRoads == 1 && pastTheFinalBudget)) {
        CHECK(byRoads == expected);
        if (expected == 0) CHECK(testing::SameFields(roads.record(), prescribed.record()));
    }
    if (result == 1 && pastTheFinalBudget) return;
    CHECK(result == expected);
    CHECK(testing::SameFields(reader.record(), prescribed.record()));
}

}  // namespace

// libvorbisfile 1.3.7 leaks inside a failing open of some damaged chained
// files: _bisect_forward_serialno returns early without freeing a later
// link's headers, where nothing can free them (see README.md). The fuzz
// build links libvorbisfile statically, so the suppression names the
// function. Leaks anywhere else still fail the run.
SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:_bisect_forward_serialno\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return FuzzOpen<ogg::VorbisFileInfo>(data, size, CheckAgainstLibvorbisfile);
}

}  // namespace cvx::fuzz
