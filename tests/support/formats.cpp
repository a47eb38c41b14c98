#include "tests/support/formats.h"

#include <corvane_plugins.h>

#include <cstdlib>
#include <cstdio>
#include <cstring>

#include "tools/samples/flac_files.h"
#include "tools/samples/mp4_files.h"
#include "tools/samples/ogg_files.h"
#include "tools/samples/opus_files.h"

namespace cvx::testing {

namespace {

using samples::Bytes;
using Comments = std::vector<std::string>;

struct Format {
    const char* name;
    Bytes (*taggedFile)(const Comments& comments, uint32_t seconds);
    bool failedOpenKeepsTheRest;
};

const Format kFormats[] = {
    {"OGG",
     [](const Comments& comments, uint32_t seconds) {
         return samples::EncodeVorbis(samples::VorbisStream().Seconds(static_cast<double>(seconds)).Comments(comments));
     },
     true},
    {"FLAC",
     [](const Comments& comments, uint32_t seconds) {
         return samples::EncodeFlac(samples::FlacStream().Samples(uint64_t{8000} * seconds).Comments(comments));
     },
     false},
    {"OPUS",
     [](const Comments& comments, uint32_t seconds) {
         return samples::EncodeOpus({samples::OpusLink().Seconds(static_cast<double>(seconds)).Comments(comments)});
     },
     false},
    {"M4A",
     [](const Comments& comments, uint32_t seconds) {
         return samples::BuildMp4(samples::Mp4Layout()
                                      .Seconds(static_cast<double>(seconds))
                                      .Items(samples::Mp4ItemsFromComments(comments)));
     },
     false},
};

const Format& FormatOf(const char* name) {
    for (const Format& format : kFormats) {
        if (std::strcmp(format.name, name) == 0) return format;
    }
    std::fprintf(stderr, "tests/support/formats.cpp: no format for the plug-in %s\n", name);
    std::abort();
}

}  // namespace

const std::vector<BuiltPlugin>& BuiltPlugins() {
#define CVX_BUILT_PLUGIN(NAME, name, word, description, fileVersion) \
    {name, word, CORVANE_PLUGIN_FOLDER "/" name ".cvx", description, fileVersion, FormatOf(name).taggedFile, \
     FormatOf(name).failedOpenKeepsTheRest},
    static const std::vector<BuiltPlugin> plugins = {CORVANE_PLUGINS(CVX_BUILT_PLUGIN)};
#undef CVX_BUILT_PLUGIN
    return plugins;
}

}  // namespace cvx::testing
