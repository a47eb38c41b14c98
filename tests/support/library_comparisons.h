// The Ogg page finder and the Vorbis setup check held against the libraries
// they follow, for the tests and the fuzz targets: each returns nothing when
// the two agree, else what differs.
#pragma once

#include <cstdint>
#include <string>

#include "tests/support/library_page_search.h"
#include "tools/samples/bytes.h"

namespace cvx::testing {

// How a search for pages is bounded, as the readers bound theirs.
enum class PageBoundary {
    kNone,          // as the search for the first page of sound
    kFromEachPage,  // `distance` past the end of the last page, as the header searches
    kAtTheEnd,      // the end of the bytes, as the search from the end
};

// Up to `mostPages` pages that ogg/page_finder.h finds in `bytes` from
// `from` on, against those `library` finds, with the same boundaries.
std::string PageSearchDifference(const samples::Bytes& bytes, int64_t from, LibraryPageSearch::Library library,
                                 PageBoundary boundary, int64_t distance, int mostPages = 64);

// ogg/vorbis_setup_check.h against vorbis_synthesis_headerin on `setup`, in
// a stream of `channels` channels: the verdict, and where both take it, the
// block size of an audio packet of every mode.
std::string SetupCheckDifference(const samples::Bytes& setup, int channels);

}  // namespace cvx::testing
