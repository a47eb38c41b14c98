// Inputs the fuzzers found that once broke a reader, kept as they were found
// (tests/regressions/), each with what the plug-in must make of it now.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/plugin_fixture.h"

namespace {

struct Regression {
    const char* file;
    const char* plugin;
    int32_t openResult;
    int32_t length;
    const char* title;
};

// ogg-trim-before-what-the-headers-read.ogg: a chained file whose second
// link is cut short, after a bogus page. Its last valid page ends before the
// bytes libvorbisfile had read for the headers; hiding what follows made
// libvorbisfile search forever.
const Regression kRegressions[] = {
    {"ogg-trim-before-what-the-headers-read.ogg", OGG_PLUGIN_PATH, 0, 0, "One"},
};

class RegressionInput : public ::testing::TestWithParam<Regression> {};

}  // namespace

TEST_P(RegressionInput, IsReadAsExpected) {
    const Regression& regression = GetParam();
    const std::string path = std::string(REGRESSIONS_DIR) + "/" + regression.file;
    const int descriptors = CountOpenDescriptors();
    const Reading r = OpenAndRead(*LoadedPlugin(regression.plugin).CreateFileInfo(0), path);
    EXPECT_EQ(CountOpenDescriptors(), descriptors);
    EXPECT_EQ(r.openResult, regression.openResult);
    EXPECT_EQ(r.length, regression.length);
    EXPECT_EQ(r.title, regression.title);
}

INSTANTIATE_TEST_SUITE_P(FuzzFindings, RegressionInput, ::testing::ValuesIn(kRegressions),
                         [](const ::testing::TestParamInfo<Regression>& test) {
                             std::string name = test.param.file;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });
