// How much reading the Ogg reader lets libvorbisfile do before it takes
// another road, and how long a run must be for the reader to hide it.
// libvorbisfile's reading of a sound file is linear in its size: about four
// times the size for chains of ordinary links, up to about thirty for
// chains of hundreds of links of a few kilobytes. Stepping back through a
// long run in which no page starts, it is quadratic in the run.
//
// With CVX_SMALL_READ_LIMITS (the fuzz build and the tests of every road)
// the limits are small, so that files of a few KiB reach every branch.
#pragma once

#include <cstdint>

namespace cvx::ogg {

#if defined(CVX_SMALL_READ_LIMITS)
inline constexpr int64_t kSeekCostBytes = 16;
inline constexpr int64_t kFirstBudgetPercentOfFile = 100;
inline constexpr int64_t kFirstBudgetBytes = 0;
inline constexpr int64_t kFinalBudgetPercentOfFile = 250;
inline constexpr int64_t kFinalBudgetBytes = 0;
inline constexpr int64_t kShortestHiddenRun = 16;
inline constexpr int64_t kLongestRunRead = 4096;
#else
// What a seek costs: the stdio buffer filled again.
inline constexpr int64_t kSeekCostBytes = 4096;
// The first reading, of the file as it is: beyond every sound file's.
inline constexpr int64_t kFirstBudgetPercentOfFile = 800;
inline constexpr int64_t kFirstBudgetBytes = int64_t{64} << 20;
// Any later reading: beyond which libvorbisfile is taken not to finish.
inline constexpr int64_t kFinalBudgetPercentOfFile = 6400;
inline constexpr int64_t kFinalBudgetBytes = int64_t{1} << 30;
// Shorter runs cost libvorbisfile little (a 1 MiB run: about 8 MiB read).
inline constexpr int64_t kShortestHiddenRun = int64_t{1} << 20;
// Read through without a capture pattern, a run no sound file has (a page
// is at most 65,307 bytes), and one libvorbisfile will step back through.
inline constexpr int64_t kLongestRunRead = int64_t{1} << 20;
#endif

// libvorbisfile's CHUNKSIZE: how far it looks for the next header page, and
// the step by which it searches backwards. Its own constant, not a limit:
// the fuzz build makes it small in the library it builds, and tells the
// reader so (CVX_LIBRARY_CHUNK_SIZE).
#if defined(CVX_LIBRARY_CHUNK_SIZE)
inline constexpr int64_t kVorbisfileChunkSize = CVX_LIBRARY_CHUNK_SIZE;
#else
inline constexpr int64_t kVorbisfileChunkSize = 65536;
#endif

// What a reading costs: the bytes it is given, and each seek it asks for
// counted as kSeekCostBytes.
constexpr int64_t ReadingCost(int64_t bytesGiven, int64_t seeks) { return bytesGiven + seeks * kSeekCostBytes; }

// Budgets in ReadingCost.
constexpr int64_t FirstReadBudget(int64_t fileSizeBytes) {
    return fileSizeBytes * kFirstBudgetPercentOfFile / 100 + kFirstBudgetBytes;
}
constexpr int64_t FinalReadBudget(int64_t fileSizeBytes) {
    return fileSizeBytes * kFinalBudgetPercentOfFile / 100 + kFinalBudgetBytes;
}

}  // namespace cvx::ogg
