// The benchmark corpus: a few hundred Ogg Vorbis and FLAC files of 20 to 40
// seconds with realistic tags (non-ASCII text, ReplayGain fields, 1 KB of
// lyrics), a tenth of the FLAC files without ALBUM but with an ID3v1.1 tag,
// and a few ten-minute files of each format. Written once, then reused.
#pragma once

#include <string>
#include <vector>

struct Corpus {
    std::vector<std::string> oggFiles, flacFiles;  // sorted
};

// The corpus in `folder`, generated first when it is missing or incomplete.
Corpus EnsureCorpus(const std::string& folder);
