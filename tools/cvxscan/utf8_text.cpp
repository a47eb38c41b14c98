#include "tools/cvxscan/utf8_text.h"

#include <algorithm>

namespace cvxscan {

namespace {

// Windows-1252 0x80-0x9F; the rest of the code page equals ISO 8859-1.
constexpr uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

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
        if (!IsUtf8Continuation(byte)) return 0;
        code = (code << 6) | (byte & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    return code < least || code > 0x10FFFF || surrogate ? 0 : length;
}

}  // namespace

size_t DecodeUtf8At(const std::string& text, size_t i, uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length && i + k < text.size(); ++k) code = (code << 6) | (text[i + k] & 0x3F);
    return length;
}

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

}  // namespace cvxscan
