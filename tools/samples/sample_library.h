// The sample library: a small, deterministic set of tagged Ogg Vorbis and
// FLAC files that shows what the plug-ins read, including the awkward cases
// (text beyond Latin-1, over-long values, repeated names, chained streams,
// two comment blocks, an ID3v1 fallback and a damaged file).
#pragma once

#include <string>
#include <vector>

#include "tools/samples/bytes.h"

namespace cvx::samples {

struct SampleFile {
    std::string relativePath;  // '/'-separated, below the library's folder
    Bytes bytes;
};

std::vector<SampleFile> SampleLibrary();

// Writes every sample below `folder`, creating subfolders. Throws
// std::runtime_error when a file cannot be written.
void WriteSampleLibrary(const std::string& folder);

}  // namespace cvx::samples
