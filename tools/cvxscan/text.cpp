#include "tools/cvxscan/text.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

#include "frame/platform/path_separator.h"

namespace cvxscan {

namespace {

// Windows-1252 0x80-0x9F; the rest of the code page equals ISO 8859-1.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
constexpr char kEllipsis[] = "\xE2\x80\xA6";     // U+2026

// Writes a code point below U+10000 as UTF-8 at `out`; returns the end.
char* PutUtf8(char* out, uint32_t code) {
    if (code < 0x80) {
        *out++ = static_cast<char>(code);
    } else if (code < 0x800) {
        *out++ = static_cast<char>(0xC0 | (code >> 6));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out++ = static_cast<char>(0xE0 | (code >> 12));
        *out++ = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// How many bytes from `i` on are ASCII, which every conversion copies as
// they are.
size_t AsciiRun(const std::string& text, size_t i) {
    size_t end = i;
    while (end < text.size() && static_cast<unsigned char>(text[end]) < 0x80) ++end;
    return end - i;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length of the well-formed UTF-8 sequence at `i`, or 0.
size_t SequenceLength(const std::string& text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return 1;
    size_t length;
    uint32_t code, least;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07, least = 0x10000;
    else return 0;
    if (i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!IsContinuation(byte)) return 0;
        code = (code << 6) | (byte & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

// The code point of the well-formed UTF-8 sequence at `i` and its length.
size_t DecodeAt(const std::string& text, size_t i, uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < text.size(); ++k) code = (code << 6) | (text[i + k] & 0x3F);
    return length;
}

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

void AppendWindows1252AsUtf8(std::string& out, const std::string& text) {
    const size_t start = out.size();
    out.resize(start + text.size() * 3);  // the most a byte becomes
    char* end = out.data() + start;
    for (size_t i = 0; i < text.size();) {
        const size_t ascii = AsciiRun(text, i);
        end = std::copy_n(text.data() + i, ascii, end);
        i += ascii;
        if (i == text.size()) break;
        const auto byte = static_cast<unsigned char>(text[i++]);
        end = PutUtf8(end, byte <= 0x9F ? kHighControls[byte - 0x80] : byte);
    }
    out.resize(static_cast<size_t>(end - out.data()));
}

void AppendValidUtf8(std::string& out, const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const size_t ascii = AsciiRun(text, i);
        out.append(text, i, ascii);
        i += ascii;
        if (i == text.size()) break;
        if (const size_t length = SequenceLength(text, i)) {
            out.append(text, i, length);
            i += length;
        } else {
            out += kReplacement;
            ++i;
        }
    }
}

std::string WithoutControls(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const bool c0 = byte < 0x20 || byte == 0x7F;
        const bool c1 = byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c0 || c1) {
            out += kReplacement;
            if (c1) ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

size_t DisplayWidth(const std::string& text) {
    size_t columns = 0;
    for (size_t i = 0; i < text.size();) {
        uint32_t code;
        i += DecodeAt(text, i, code);
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
            while (lead > 0 && IsContinuation(static_cast<unsigned char>(text[lead]))) --lead;
            uint32_t code;
            DecodeAt(text, lead, code);
            const size_t width = ColumnsOf(code);
            if (width > room) break;
            room -= width;
            start = lead;
        }
        // A mark left at the front would sit on the ellipsis.
        while (start < text.size()) {
            uint32_t code;
            const size_t length = DecodeAt(text, start, code);
            if (ColumnsOf(code) != 0) break;
            start += length;
        }
        return kEllipsis + text.substr(start);
    }
    size_t end = 0;
    while (end < text.size()) {
        uint32_t code;
        const size_t length = DecodeAt(text, end, code);
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
    const std::string separators = std::string("/") + cvx::kPathSeparator;
    const size_t nameStart = rest.find_last_of(separators);
    const size_t folderStart =
        nameStart != std::string::npos && nameStart > 0 ? rest.find_last_of(separators, nameStart - 1) : std::string::npos;
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

size_t SharedFolderLength(const std::string& a, const std::string& b) {
    const std::string separators = std::string("/") + cvx::kPathSeparator;
    size_t same = 0;
    while (same < a.size() && same < b.size() && a[same] == b[same]) ++same;
    const size_t separator = a.find_last_of(separators, same == 0 ? 0 : same - 1);
    return separator == std::string::npos || same == 0 ? 0 : separator + 1;
}

}  // namespace cvxscan
