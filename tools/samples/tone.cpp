#include "tools/samples/tone.h"

#include <cmath>

namespace cvx::samples {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNoteSeconds = 0.5;
constexpr double kIntervals[] = {1.0, 5.0 / 4.0, 3.0 / 2.0, 2.0};  // major arpeggio
constexpr double kDecayPerSecond = 4.0;
constexpr double kPeak = 0.4;

}  // namespace

float ToneSample(double rootHz, uint32_t sampleRateHz, uint64_t index, int channel) {
    if (rootHz <= 0 || sampleRateHz == 0) return 0.0f;
    const double seconds = static_cast<double>(index) / sampleRateHz;
    const auto note = static_cast<uint64_t>(seconds / kNoteSeconds);
    const double sinceAttack = seconds - static_cast<double>(note) * kNoteSeconds;
    const double frequency = rootHz * kIntervals[note % 4];
    const double phase = 2 * kPi * frequency * sinceAttack + channel * 0.3;  // a little stereo width
    const double envelope = kPeak * std::exp(-kDecayPerSecond * sinceAttack);
    return static_cast<float>(envelope * (0.8 * std::sin(phase) + 0.2 * std::sin(2 * phase)));
}

}  // namespace cvx::samples
