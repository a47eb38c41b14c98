// Inputs the fuzzers found that once broke a reader, kept as they were found
// (tests/regressions/), each with what the plug-in must make of it now.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/plugin_fixture.h"
#include "tests/support/prescribed_readers.h"

namespace cvx::testing {

using namespace cvx::host;
using namespace cvx::samples;
namespace {

struct Regression {
    const char* file;
    const char* plugin;
    int32_t openResult;
    int32_t length;
    const char* title;
};

// Each must also read as the library calls the plug-in was specified with
// read it.
//
// ogg-trim-before-what-the-headers-read.ogg: a chained file whose second
// link is cut short, after a bogus page. Its last valid page ends before the
// bytes libvorbisfile had read for the headers; a view of the file that
// ended there made libvorbisfile search forever.
//
// The FLAC files are where the metadata iterator and libFLAC's stream decoder
// part ways: the iterator passes over each, the decoder refuses it, so the
// stream information must not be taken from the walk.
// flac-streaminfo-shorter-than-its-fields.flac: a STREAMINFO block of 13
// bytes; the decoder reads its 34 bytes of fields on into the next block.
// flac-application-block-shorter-than-its-id.flac: an APPLICATION block of 0
// bytes, too short for the 4-byte ID the decoder reads first.
// flac-empty-seek-table-after-another.flac: a SEEKTABLE without one whole
// point after another SEEKTABLE; the decoder's reallocation of its table to
// 0 bytes answers null, taken for exhausted memory.
//
// opus-chain-with-a-page-across-a-search-boundary.opus: a damaged chain that
// libopusfile refuses. It finds a page crossing the end of a bounded page
// search only when an earlier read brought the page in whole; reads cut
// short where the bytes already in memory ended took it down another road,
// where it loses a comment header (the sanitizer builds' leak check fails).
const Regression kRegressions[] = {
    {"ogg-trim-before-what-the-headers-read.ogg", OGG_PLUGIN_PATH, 0, 0, "One"},
    {"flac-streaminfo-shorter-than-its-fields.flac", FLAC_PLUGIN_PATH, 1, 0, ""},
    {"flac-application-block-shorter-than-its-id.flac", FLAC_PLUGIN_PATH, 1, 0, ""},
    {"flac-empty-seek-table-after-another.flac", FLAC_PLUGIN_PATH, 1, 0, ""},
    {"opus-chain-with-a-page-across-a-search-boundary.opus", OPUS_PLUGIN_PATH, 1, 0, ""},
};

class RegressionInput : public ::testing::TestWithParam<Regression> {};

}  // namespace

TEST_P(RegressionInput, IsReadAsExpected) {
    const Regression& regression = GetParam();
    const std::string path = std::string(REGRESSIONS_DIR) + "/" + regression.file;
    const int descriptors = CountOpenDescriptors();
    const Reading r = OpenAndRead(*LoadPluginOnce(regression.plugin).CreateFileInfo(0), path);
    EXPECT_EQ(CountOpenDescriptors(), descriptors);
    EXPECT_EQ(r.openResult, regression.openResult);
    EXPECT_EQ(r.length, regression.length);
    EXPECT_EQ(r.title, regression.title);
    PrescribedVorbisFileInfo vorbis;
    PrescribedFlacFileInfo flac;
    PrescribedOpusFileInfo opus;
    const std::string plugin = regression.plugin;
    FileInfo& prescribed = plugin == OGG_PLUGIN_PATH ? static_cast<FileInfo&>(vorbis)
                           : plugin == OPUS_PLUGIN_PATH ? static_cast<FileInfo&>(opus)
                                                        : flac;
    EXPECT_EQ(r, OpenAndRead(prescribed, path));
}

INSTANTIATE_TEST_SUITE_P(FuzzFindings, RegressionInput, ::testing::ValuesIn(kRegressions),
                         [](const ::testing::TestParamInfo<Regression>& test) {
                             std::string name = test.param.file;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace cvx::testing
