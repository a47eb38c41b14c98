// The file name as libFLAC must be given it. libFLAC opens files itself, and
// on Windows it reads every file name as UTF-8, while the host passes names
// in the ANSI code page: 'tést.flac' would not be found.
#pragma once

#include "frame/tag_record.h"

struct LibFlacPath {
    // A path that fits the record's path field, each byte one character at
    // most and each character at most three bytes of UTF-8.
    char text[(kPathFieldSize - 1) * 3 + 1];
};

// False when `path` cannot be converted (or is too long for the field).
bool ToLibFlacPath(const char* path, LibFlacPath& out);
