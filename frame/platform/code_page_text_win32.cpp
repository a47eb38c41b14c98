#include "frame/platform/code_page_text_win32.h"

namespace cvx {

namespace {

// Bytes of the UTF-8 sequence starting at text[i], when it is a lead byte
// followed by all its continuation bytes; else one.
size_t Utf8SequenceSize(const char* text, size_t i, size_t length) {
    const auto lead = static_cast<BYTE>(text[i]);
    const size_t size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    for (size_t k = 1; k < size; ++k) {
        if (i + k >= length || (static_cast<BYTE>(text[i + k]) & 0xC0) != 0x80) return 1;
    }
    return size;
}

// The code page CP_ACP stands for, so that 65001 is recognised as UTF-8.
UINT Resolved(UINT codePage) { return codePage == CP_ACP ? GetACP() : codePage; }

// Bytes of the character starting at text[i]: a whole UTF-8 sequence in
// code page 65001; two for a lead byte that has a byte after it in the
// double-byte code pages; else one. `codePage` is resolved.
size_t CharacterSize(UINT codePage, const char* text, size_t i, size_t length) {
    if (codePage == CP_UTF8) return Utf8SequenceSize(text, i, length);
    return IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) && i + 1 < length ? 2 : 1;
}

}  // namespace

size_t FindLastCharacter(UINT codePage, const std::string& text, char c) {
    codePage = Resolved(codePage);
    size_t found = std::string::npos;
    for (size_t i = 0; i < text.size(); i += CharacterSize(codePage, text.data(), i, text.size())) {
        if (text[i] == c) found = i;
    }
    return found;
}

size_t WholeCharacterPrefix(UINT codePage, const char* text, size_t length, size_t room) {
    if (length <= room) return length;
    codePage = Resolved(codePage);
    size_t end = 0;
    while (end < room) {
        const size_t next = end + CharacterSize(codePage, text, end, length);
        if (next > room) break;
        end = next;
    }
    return end;
}

}  // namespace cvx
