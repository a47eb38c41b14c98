#include "tools/cvxscan/fit_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

#include "tools/cvxscan/platform/file_system.h"
#include "tools/cvxscan/utf8_text.h"

namespace cvxscan {

namespace {

constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

struct CodeRange {
    uint32_t first, last;
};

#include "tools/cvxscan/display_width.inc"

template <size_t N>
bool IsIn(const CodeRange (&ranges)[N], uint32_t code) {
    const CodeRange* after = std::upper_bound(std::begin(ranges), std::end(ranges), code,
                                              [](uint32_t c, const CodeRange& range) { return c < range.first; });
    return after != std::begin(ranges) && code <= (after - 1)->last;
}

// Columns a terminal gives the character; controls never reach the table.
size_t ColumnsOf(uint32_t code) {
    if (code < 0x300) return 1;
    if (IsIn(kZeroWidth, code)) return 0;
    return IsIn(kDoubleWidth, code) ? 2 : 1;
}

}  // namespace

size_t DisplayWidth(const std::string& text) {
    size_t columns = 0;
    for (size_t i = 0; i < text.size();) {
        uint32_t code;
        i += DecodeUtf8At(text, i, code);
        columns += ColumnsOf(code);
    }
    return columns;
}

std::string FitToWidth(const std::string& text, size_t columns, bool keepEnd) {
    if (DisplayWidth(text) <= columns) return text;
    if (columns == 0) return {};
    // Keep what fits in columns - 1 and the ellipsis, never half a wide
    // character; a combining mark stays with the letter it follows.
    size_t room = columns - 1;
    if (keepEnd) {
        size_t start = text.size();
        while (start > 0) {
            size_t lead = start - 1;
            while (lead > 0 && IsUtf8Continuation(static_cast<unsigned char>(text[lead]))) --lead;
            uint32_t code;
            DecodeUtf8At(text, lead, code);
            const size_t width = ColumnsOf(code);
            if (width > room) break;
            room -= width;
            start = lead;
        }
        // A mark left at the front would sit on the ellipsis.
        while (start < text.size()) {
            uint32_t code;
            const size_t length = DecodeUtf8At(text, start, code);
            if (ColumnsOf(code) != 0) break;
            start += length;
        }
        return kEllipsis + text.substr(start);
    }
    size_t end = 0;
    while (end < text.size()) {
        uint32_t code;
        const size_t length = DecodeUtf8At(text, end, code);
        const size_t width = ColumnsOf(code);
        if (width > room) break;
        room -= width;
        end += length;
    }
    while (end > 0 && text[end - 1] == ' ') --end;  // "A very…", not "A very …"
    return text.substr(0, end) + kEllipsis;
}

std::string FitPathToWidth(const std::string& path, size_t columns, size_t sharedLength) {
    if (DisplayWidth(path) <= columns) return path;
    // The folders every row shares tell no row apart: they go first.
    const std::string lead = sharedLength > 0 ? kEllipsis : "";
    const std::string rest = path.substr(sharedLength);
    const size_t leadWidth = lead.empty() ? 0 : 1;
    if (DisplayWidth(rest) + leadWidth <= columns) return lead + rest;
    const size_t nameStart = rest.find_last_of(kPathSeparators);
    const size_t folderStart = nameStart != std::string::npos && nameStart > 0
                                   ? rest.find_last_of(kPathSeparators, nameStart - 1)
                                   : std::string::npos;
    // "head…/folder/name", else "head…/name"; the head never fits whole, so
    // it ends in the ellipsis.
    for (const size_t tailStart : {folderStart, nameStart}) {
        if (tailStart == std::string::npos) continue;
        const size_t tailWidth = DisplayWidth(rest.substr(tailStart));
        if (leadWidth + tailWidth + 1 > columns) continue;
        std::string head = FitToWidth(rest.substr(0, tailStart), columns - leadWidth - tailWidth);
        if (head == kEllipsis && !lead.empty()) head.clear();  // one mark for one cut
        return lead + head + rest.substr(tailStart);
    }
    return FitToWidth(path, columns, true);
}

namespace {

bool IsWordBreak(char c) { return c == ' ' || c == '(' || c == '[' || c == '-' || c == '_' || c == '.' || c == ','; }

// Where the word that holds byte `at` begins, not before `floor`.
size_t WordStart(const std::string& text, size_t at, size_t floor) {
    while (at > floor && IsUtf8Continuation(static_cast<unsigned char>(text[at]))) --at;
    while (at > floor && !IsWordBreak(text[at - 1]) && std::strchr(kPathSeparators, text[at - 1]) == nullptr) --at;
    return at;
}

}  // namespace

std::string FitPathAroundDifference(const std::string& path, size_t columns, size_t differsAt) {
    if (DisplayWidth(path) <= columns) return path;
    const size_t nameStart = FileNameOffset(path);
    if (differsAt >= nameStart) {
        // The names differ: the name from the word where it does.
        return FitToWidth(kEllipsis + path.substr(WordStart(path, std::min(differsAt, path.size()), nameStart)), columns);
    }
    // "…" folder part "/" name: the folder part takes what the name leaves,
    // and no less than half the room.
    const size_t folderStart = WordStart(path, differsAt, 0);
    const std::string folder = path.substr(folderStart, nameStart - folderStart);
    const std::string name = path.substr(nameStart);
    const size_t room = columns > 1 ? columns - 1 : 0;
    const size_t nameWidth = DisplayWidth(name);
    const size_t folderRoom = std::min(DisplayWidth(folder), std::max(room / 2, room > nameWidth ? room - nameWidth : 0));
    // A folder part cut short still ends in a separator: "…Super…/".
    std::string shownFolder = folder;
    if (DisplayWidth(folder) > folderRoom) shownFolder = folderRoom >= 2 ? FitToWidth(folder, folderRoom - 1) + "/" : "";
    return FitToWidth(kEllipsis + shownFolder + name, columns);
}

size_t CommonStartLength(const std::string& a, const std::string& b) {
    return static_cast<size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

size_t SharedFolderLength(const std::string& a, const std::string& b) {
    const size_t same = CommonStartLength(a, b);
    const size_t separator = a.find_last_of(kPathSeparators, same == 0 ? 0 : same - 1);
    return separator == std::string::npos || same == 0 ? 0 : separator + 1;
}

}  // namespace cvxscan
