// Reading and writing one key of an INI file, with the behaviour users of
// the Windows profile routines expect: section and key names match
// case-insensitively, the first matching section and key count, and a write
// creates the file, the section or the key as needed.
#pragma once

#include <string>

namespace cvx {

// The value of `key` in `section`, or `defaultValue` when the file, the
// section or the key is missing or the file cannot be read. Values are
// returned whole, however long.
std::string ReadIniString(const std::string& path, const std::string& section,
                          const std::string& key, const std::string& defaultValue);

// Sets `key` in `section` to `value`, changing no other byte of the file.
// The file is replaced atomically and keeps its permissions; a symbolic
// link is written through to its target. False when the file could not be
// written, in which case it is left as it was.
bool WriteIniString(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace cvx
