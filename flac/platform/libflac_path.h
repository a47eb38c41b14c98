// The file name as libFLAC must be given it. libFLAC opens files itself, and
// on Windows it reads every file name as UTF-8, while the host passes names
// in the ANSI code page: 'tést.flac' would not be found.
#pragma once

#include "frame/tag_record.h"

namespace cvx::flac {

// Room for a converted name: a path that fits the record's path field, each
// byte one character at most and each character at most three bytes of UTF-8.
struct LibFlacPath {
    char text[(kPathFieldSize - 1) * 3 + 1];
};

// The name to hand libFLAC for `path`: `path` itself where libFLAC takes
// names as they are, else its conversion, kept in `buffer`. Null when the
// name cannot be converted.
const char* LibFlacFileName(const char* path, LibFlacPath& buffer);

}  // namespace cvx::flac
