// The benchmark corpus, sets of files written once and then reused. The
// plain set: 300 Ogg Vorbis, 300 FLAC, 300 Ogg Opus and 300 M4A (AAC and
// ALAC in turn) files of 20 to 40 seconds with realistic tags (non-ASCII text, ReplayGain fields, 1 KB of
// lyrics), a tenth of the FLAC files without ALBUM but with an ID3v1.1 tag,
// and three ten-minute Ogg Vorbis and FLAC files. The cover-art set: the
// same 300 short files of each format carrying what a tagged library
// carries: 80% of the FLAC files a front cover of 50 KB to 3 MB
// (log-uniform sizes), one in eight of those a 1 MB back cover as well,
// every FLAC file an 8 KiB PADDING block; 30% of the Ogg Vorbis and Ogg Opus
// files a picture of 50 to 500 KB in the comment header, 30% of the M4A
// files a cover of that size. The chained set:
// Ogg Vorbis radio recordings, chains of 10, 50 and 200 links of 20
// seconds, each link with the plain set's tags. Every Ogg stream has a
// random 32-bit serial number, as encoders draw them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace cvx::bench {

struct FileSet {
    std::string name;
    // By format, the plug-ins' lower-case word ("ogg", "flac", ...): the
    // set's files of it, sorted.
    std::map<std::string, std::vector<std::string>> files;
    const std::vector<std::string>& Of(const std::string& word) const;
};

struct Corpus {
    std::vector<FileSet> sets;  // plain, cover art, then one a chain (Ogg Vorbis only)
};

// The corpus in `folder`, each set generated first when it is missing or
// incomplete.
Corpus EnsureCorpus(const std::string& folder);

}  // namespace cvx::bench
