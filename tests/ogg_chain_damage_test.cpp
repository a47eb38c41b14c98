// A chained file whose later stream is damaged. libvorbisfile 1.3.7 leaks
// inside a failing ov_open here: _bisect_forward_serialno returns early
// without freeing the serial-number list, vorbis_info and vorbis_comment of
// a later link, and nothing reaches the caller to free. This suite runs in an
// executable of its own that suppresses leaks under libvorbisfile only, and
// drives the reader directly, not through dlopen, so that the leak's frames
// keep their module name.
#include <gtest/gtest.h>

#include <string>

#include "ogg/page_layout.h"
#include "ogg/vorbis_file_info.h"
#include "tests/support/ogg_fixtures.h"
#include "tests/support/temp_dir.h"

// Sanitizer hooks, read at start-up: the slow unwinder reaches libvorbisfile's
// frames beneath libvorbis' allocations, so the suppression can see them.
#define SANITIZER_HOOK extern "C" __attribute__((visibility("default"), used))

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::ogg;
using namespace cvx::samples;
SANITIZER_HOOK const char* __asan_default_options() { return "fast_unwind_on_malloc=0"; }
SANITIZER_HOOK const char* __lsan_default_suppressions() { return "leak:libvorbisfile.so\n"; }

TEST(OggChainDamage, EveryFlippedPageHeaderGetsAPlausibleAnswer) {
    const Bytes chained = ChainedOgg(2, 3, {"TITLE=One"}, {"TITLE=Two"});
    TempDir dir;
    const std::string path = dir.File("chained.ogg");
    VorbisFileInfo info;
    const int before = CountOpenDescriptors();
    for (size_t page : OggPageOffsets(chained)) {
        for (size_t offset = page; offset < page + kOggPageHeaderSize + 32 && offset < chained.size(); ++offset) {
            WriteBytes(path, FlipInsidePage(chained, offset));
            const int32_t result = info.Open(path.c_str());
            ASSERT_TRUE(result == 0 || result == 1) << "flip at " << offset;
            if (result == 0) {
                EXPECT_GE(info.GetLength(), 0) << "flip at " << offset;
                EXPECT_LE(info.GetLength(), 5) << "flip at " << offset;
            }
        }
    }
    EXPECT_EQ(CountOpenDescriptors(), before);
}

}  // namespace cvx::testing
