// A deterministic musical signal for the encoders, so generated files carry
// real audio rather than silence: a plucked four-note arpeggio.
#pragma once

#include <cstdint>

namespace cvx::samples {

// Sample `index` of `channel` at `sampleRateHz`, in [-1, 1]. A `rootHz` of 0
// gives silence.
float ToneSample(double rootHz, uint32_t sampleRateHz, uint64_t index, int channel);

}  // namespace cvx::samples
