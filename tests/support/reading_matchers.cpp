#include "tests/support/reading_matchers.h"

#include <tuple>

namespace cvx::host {

namespace {

auto Fields(const Reading& r) {
    return std::tie(r.openResult, r.fileSize, r.fileName, r.length, r.lengthText, r.title, r.artist, r.album,
                    r.comment, r.genre, r.year, r.track);
}

}  // namespace

bool operator==(const Reading& a, const Reading& b) { return Fields(a) == Fields(b); }

void PrintTo(const Reading& r, std::ostream* out) {
    *out << "{open " << r.openResult << ", size " << r.fileSize << ", name \"" << r.fileName << "\", length "
         << r.length << " \"" << r.lengthText << "\", title \"" << r.title << "\", artist \"" << r.artist
         << "\", album \"" << r.album << "\", comment \"" << r.comment << "\", genre \"" << r.genre
         << "\", year " << r.year << ", track " << r.track << "}";
}

}  // namespace cvx::host
