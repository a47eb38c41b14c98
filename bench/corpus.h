// The benchmark corpus, two sets of files, written once and then reused.
// The plain set: 300 Ogg Vorbis and 300 FLAC files of 20 to 40 seconds with
// realistic tags (non-ASCII text, ReplayGain fields, 1 KB of lyrics), a
// tenth of the FLAC files without ALBUM but with an ID3v1.1 tag, and three
// ten-minute files of each format. The cover-art set: the same 300 short
// files of each format carrying what a tagged library carries: 80% of the
// FLAC files a front cover of 50 KB to 3 MB (log-uniform sizes), one in
// eight of those a 1 MB back cover as well, every FLAC file an 8 KiB PADDING
// block; 30% of the Ogg files a METADATA_BLOCK_PICTURE comment of 50 to
// 500 KB. The chained set: Ogg Vorbis radio recordings, chains of 10, 50
// and 200 links of 20 seconds, each link with the plain set's tags. The Opus
// set: 300 Ogg Opus files of 20 to 40 seconds with the plain set's tags, 30%
// of them a picture of 50 to 500 KB in the comment header. Every Ogg stream
// has a random 32-bit serial number, as encoders draw them.
#pragma once

#include <string>
#include <vector>

namespace cvx::bench {

struct FileSet {
    std::string name;
    std::vector<std::string> oggFiles, flacFiles, opusFiles;  // sorted
};

struct Corpus {
    std::vector<FileSet> sets;  // plain, cover art, Opus, then one a chain (Ogg Vorbis only)
};

// The corpus in `folder`, each set generated first when it is missing or
// incomplete.
Corpus EnsureCorpus(const std::string& folder);

}  // namespace cvx::bench
