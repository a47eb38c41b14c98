// The INI editor behind ReadIniString and WriteIniString on platforms
// without profile routines. It works on the file's text and changes lines,
// not files.
//
// The format: "[section]" on a line of its own opens a section; within it,
// "key=value" lines. Names match case-insensitively; blanks around names and
// values are ignored; a value enclosed in one pair of double or single
// quotes is read without them; lines whose first non-blank character is ';'
// are comments; a non-blank line without '=' is a key with an empty value.
// A UTF-8 byte-order mark before the first line is kept and skipped.
#pragma once

#include <optional>
#include <string>

namespace cvx {

// The value of the first `key` in the first `section`, if there is one.
std::optional<std::string> FindIniValue(const std::string& text, const std::string& section,
                                        const std::string& key);

enum class IniChange { kUnchanged, kUpdated, kInserted };

struct IniEdit {
    std::string text;
    IniChange change;
};

// `text` with `key` in `section` set to `value`: the key's own line becomes
// "key=value"; a missing key is added after the last key line of its section
// (or right after the section's header when it has none); a missing section
// is added at the end. Every other byte stays as it was; new lines take the
// file's line ending (CRLF when its first line ends so, else LF).
IniEdit SetIniValue(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value);

}  // namespace cvx
