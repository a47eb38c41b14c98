// Every road out of a one-link reading taken by some file: each case's file
// must take its road, and the library must give its answer on it; a stream
// that cannot be read through (shorter than the size it claims) takes the
// last road, kUnreadable; and no road up to it is left untaken.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "frame/platform/regular_file.h"
#include "ogg/file_window.h"
#include "tests/support/temp_dir.h"
#include "tools/samples/bytes.h"

namespace cvx::testing {

template <typename Road>
struct OneLinkCase {
    std::string what;
    samples::Bytes file;
    Road road;
};

// `readOneLink(windows)` runs the reading and answers its road;
// `expectLibrarysAnswer(path)` compares the reader with the library on the
// file at `path`; `link` is a whole file of one link.
template <typename Road, typename ReadOneLink, typename ExpectLibrarysAnswer>
void ExpectEveryRoadTaken(const std::vector<OneLinkCase<Road>>& cases, samples::Bytes link, ReadOneLink readOneLink,
                          ExpectLibrarysAnswer expectLibrarysAnswer) {
    TempDir dir;
    const std::string path = dir.File("one-link");
    std::map<Road, int> roads;
    for (const OneLinkCase<Road>& c : cases) {
        SCOPED_TRACE(c.what);
        samples::WriteBytes(path, c.file);
        int64_t sizeBytes = 0;
        const FilePtr file = OpenRegularFileForReading(path.c_str(), &sizeBytes);
        ogg::FileWindows read(file.get(), sizeBytes);
        const Road road = readOneLink(read);
        EXPECT_EQ(static_cast<int>(road), static_cast<int>(c.road));
        ++roads[road];
        expectLibrarysAnswer(path);
    }
    const FilePtr shortStream(fmemopen(link.data(), link.size() / 2, "rb"));
    ogg::FileWindows read(shortStream.get(), static_cast<int64_t>(link.size()));
    ++roads[readOneLink(read)];
    for (int road = 0; road <= static_cast<int>(Road::kUnreadable); ++road) {
        EXPECT_GT(roads[static_cast<Road>(road)], 0) << "road " << road << " never taken";
    }
}

}  // namespace cvx::testing
