// Fitting UTF-8 text and paths to a number of terminal columns.
#pragma once

#include <cstddef>
#include <string>

namespace cvxscan {

// Columns valid UTF-8 text takes on a terminal: two for each East Asian
// wide or fullwidth character, none for a combining mark, one otherwise.
size_t DisplayWidth(const std::string& text);

// Valid UTF-8 text cut to at most `columns` columns, marking a cut with '…'
// at the end, or at the start when `keepEnd` (for paths, whose file name
// matters most).
std::string FitToWidth(const std::string& text, size_t columns, bool keepEnd = false);

// A path (valid UTF-8) cut to at most `columns` columns so that paths which
// differ in any folder stay told apart: the first `sharedLength` bytes (the
// folders every path shown shares) replaced by '…', the last folder and the
// file name kept whole, what room is left taken from the start of the rest,
// '…' between them ("…music/tag…/Album/01.ogg"). Without the room for that,
// the file name alone, then as much of the path's end as fits.
std::string FitPathToWidth(const std::string& path, size_t columns, size_t sharedLength = 0);

// The same path cut around the part that tells it from paths it would
// otherwise be shown alike with: the word of its folders in which it first
// differs (the byte `differsAt` on) and its file name, each kept from its
// start, each cut at its end where room runs short
// ("…Super Deluxe…/01 Come Together…"). Where the difference lies in the
// file name, the name is kept from the word it begins in.
std::string FitPathAroundDifference(const std::string& path, size_t columns, size_t differsAt);

// How many bytes `a` and `b` begin with alike.
size_t CommonStartLength(const std::string& a, const std::string& b);

// How many bytes of `a` and `b` lie in the folders both are in: their common
// start up to and with its last separator.
size_t SharedFolderLength(const std::string& a, const std::string& b);

}  // namespace cvxscan
