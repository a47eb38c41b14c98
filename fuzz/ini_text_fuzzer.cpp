// The INI reader and editor on arbitrary text: setting the extension list
// changes that one line or adds it (with its section when missing), every
// other line survives byte for byte, and the value then reads back.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/ascii.h"
#include "frame/ini_text.h"
#include "fuzz/check.h"

namespace cvx::fuzz {

namespace {

const std::string kSection = "Corvane";
const std::string kKey = "corvane_extlist";
const std::string kValue = "MP3, OGG, FLAC";
const std::string kByteOrderMark = "\xEF\xBB\xBF";

// Lines without their endings ("\n" or "\r\n", or a '\r' ending the text,
// as the reader takes them); a final line ending starts no further line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t newline = text.find('\n', begin);
        size_t end = newline == std::string::npos ? text.size() : newline;
        const size_t next = newline == std::string::npos ? text.size() : newline + 1;
        if (end > begin && text[end - 1] == '\r') --end;
        lines.push_back(text.substr(begin, end - begin));
        begin = next;
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FindIniValue(text, kSection, kKey);
    const IniEdit edit = SetIniValue(text, kSection, kKey, kValue);
    const std::optional<std::string> readBack = FindIniValue(edit.text, kSection, kKey);
    CHECK(readBack && *readBack == kValue);

    // A byte-order mark is kept, and is no part of the first line's text.
    const bool marked = text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0;
    CHECK((edit.text.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0) == marked);
    const size_t skip = marked ? kByteOrderMark.size() : 0;
    const std::vector<std::string> before = Lines(text.substr(skip)), after = Lines(edit.text.substr(skip));
    switch (edit.change) {
        case IniChange::kUnchanged:
            CHECK(edit.text == text);
            break;
        case IniChange::kUpdated: {
            CHECK(before.size() == after.size());
            size_t changed = 0;
            for (size_t i = 0; i < before.size(); ++i) {
                if (before[i] == after[i]) continue;
                ++changed;
                CHECK(EndsWith(after[i], kKey + "=" + kValue));
            }
            CHECK(changed == 1);
            // Byte for byte: old and new differ in one run without a line
            // break, so even line endings are kept.
            const size_t shorter = std::min(text.size(), edit.text.size());
            size_t prefix = 0, suffix = 0;
            while (prefix < shorter && text[prefix] == edit.text[prefix]) ++prefix;
            while (suffix < shorter - prefix && text[text.size() - 1 - suffix] == edit.text[edit.text.size() - 1 - suffix]) {
                ++suffix;
            }
            CHECK(text.find('\n', prefix) >= text.size() - suffix);
            CHECK(edit.text.find('\n', prefix) >= edit.text.size() - suffix);
            break;
        }
        case IniChange::kInserted: {
            // The old lines in order, with the key line (and its section
            // header, when new) added among them.
            CHECK(after.size() == before.size() + 1 || after.size() == before.size() + 2);
            size_t i = 0;
            for (const std::string& line : after) {
                if (i < before.size() && line == before[i]) {
                    ++i;
                } else {
                    CHECK(line == kKey + "=" + kValue || line == "[" + kSection + "]");
                }
            }
            CHECK(i == before.size());
            break;
        }
    }
    return 0;
}

}  // namespace cvx::fuzz
