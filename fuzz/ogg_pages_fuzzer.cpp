// The Ogg page finder on arbitrary bytes, against libogg's ogg_sync_pageseek
// fed as libvorbisfile and libopusfile feed it
// (tests/support/library_comparisons.h): from the same offset, with the same
// boundaries, the same pages in the same order with libogg's checksum, and
// no page where they find none. And the checksum both ways on the input.
//
// Input: [from] [how] [distance] then the bytes searched. `from` picks the
// offset to search from; `how` the library and the kind of boundary: none,
// `distance` past each page's end (as the header searches have it), or the
// end of the bytes (as the search from the end).
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/check.h"
#include "ogg/page_checksum.h"
#include "tests/support/library_comparisons.h"

namespace cvx::fuzz {

namespace {

constexpr size_t kControlBytes = 3;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t inputSize) {
    if (inputSize < kControlBytes) return 0;
    if (ogg::CarrylessMultiplyAvailable()) {
        CHECK(ogg::ChecksumUpdateByTable(input[0], input + 1, inputSize - 1) ==
              ogg::ChecksumUpdateByCarrylessMultiply(input[0], input + 1, inputSize - 1));
    }
    const samples::Bytes bytes(input + kControlBytes, input + inputSize);
    const int64_t from = static_cast<int64_t>(input[0] * bytes.size() / 256);
    const auto library = (input[1] & 1) ? testing::LibraryPageSearch::Library::kOpusfile
                                        : testing::LibraryPageSearch::Library::kVorbisfile;
    const auto boundary = static_cast<testing::PageBoundary>(((input[1] >> 1) & 3) % 3);
    const int64_t distance = 27 + int64_t{input[2]} * 64;
    const std::string difference = testing::PageSearchDifference(bytes, from, library, boundary, distance);
    if (!difference.empty()) std::fprintf(stderr, "%s\n", difference.c_str());
    CHECK(difference.empty());
    return 0;
}

}  // namespace cvx::fuzz
