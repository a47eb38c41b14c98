// The Vorbis setup check against libvorbis's own vorbis_synthesis_headerin
// (tests/support/library_comparisons.h): the same verdict on every packet,
// and where both take it, the same block size for an audio packet of every
// mode, so the same mode count and block flags.
//
// Input: [how] [channels] then either a setup packet as it is (the seeds
// are real setup headers of every encoder quality, rate and channel count),
// or a recipe from which a setup packet is written field by field
// (fuzz/vorbis_setup_recipe.h), so that mutations of the structure reach
// every check rather than the first.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <string>

#include "fuzz/check.h"
#include "fuzz/vorbis_setup_recipe.h"
#include "tests/support/library_comparisons.h"

namespace cvx::fuzz {

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
    if (size < 2) return 0;
    const int channels = 1 + input[1] % 8;
    samples::Bytes setup;
    if (input[0] & 1) {
        setup.assign(input + 2, input + size);
    } else {
        FuzzedDataProvider recipe(input + 2, size - 2);
        setup = SetupWriter(recipe, channels).Write();
    }
    const std::string difference = testing::SetupCheckDifference(setup, channels);
    if (!difference.empty()) std::fprintf(stderr, "%s\n", difference.c_str());
    CHECK(difference.empty());
    return 0;
}

}  // namespace cvx::fuzz
