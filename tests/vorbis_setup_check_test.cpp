// The Vorbis setup check against libvorbis's own verdict and modes
// (tests/support/library_comparisons.h), on the setup headers libvorbisenc
// writes and on damaged ones. fuzz/vorbis_setup_fuzzer.cpp takes this on
// with headers written field by field.
#include <gtest/gtest.h>

#include "tests/support/library_comparisons.h"
#include "tools/samples/ogg_files.h"

namespace cvx::testing {

using samples::Bytes;
using samples::VorbisStream;

namespace {

Bytes SetupHeader(long rateHz, int channels, float quality) {
    VorbisStream stream = VorbisStream().Rate(rateHz).Channels(channels).Seconds(0.05);
    stream.quality = quality;
    return samples::PacketOf(samples::EncodeVorbis(stream), 2);
}

}  // namespace

TEST(VorbisSetupCheck, TakesEverySetupHeaderTheEncoderWritesWithLibvorbissModes) {
    // Six channels at 44.1 and 48 kHz leak in libvorbisenc's own setup.
    for (const float quality : {-0.1f, 0.0f, 0.2f, 0.5f, 0.8f, 1.0f}) {
        for (const long rateHz : {8000L, 11025L, 22050L, 32000L, 44100L, 48000L, 96000L}) {
            for (const int channels : {1, 2}) {
                const Bytes setup = SetupHeader(rateHz, channels, quality);
                ASSERT_FALSE(setup.empty());
                EXPECT_EQ(SetupCheckDifference(setup, channels), "")
                    << rateHz << " Hz, " << channels << " channels, quality " << quality;
            }
        }
    }
}

TEST(VorbisSetupCheck, GivesLibvorbissVerdictWithAnyByteChangedOrTheHeaderCut) {
    const Bytes setup = SetupHeader(44100, 2, 0.3f);
    for (size_t at = 0; at < setup.size(); ++at) {
        for (const uint8_t mask : {0x01, 0x10, 0xFF}) {
            Bytes changed = setup;
            changed[at] ^= mask;
            ASSERT_EQ(SetupCheckDifference(changed, 2), "") << "byte " << at << " ^ " << int{mask};
        }
        ASSERT_EQ(SetupCheckDifference(Bytes(setup.begin(), setup.begin() + static_cast<long>(at)), 2), "") << "cut at " << at;
    }
    // The same header read as a mono stream's: its coupling names a second
    // channel.
    EXPECT_EQ(SetupCheckDifference(setup, 1), "");
}

}  // namespace cvx::testing
