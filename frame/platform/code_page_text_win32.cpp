#include "frame/platform/code_page_text_win32.h"

namespace {

// Bytes of the character starting at text[i]: two for a lead byte that has
// a byte after it, else one.
size_t CharacterSize(UINT codePage, const char* text, size_t i, size_t length) {
    return IsDBCSLeadByteEx(codePage, static_cast<BYTE>(text[i])) && i + 1 < length ? 2 : 1;
}

}  // namespace

size_t FindLastCharacter(UINT codePage, const std::string& text, char c) {
    size_t found = std::string::npos;
    for (size_t i = 0; i < text.size(); i += CharacterSize(codePage, text.data(), i, text.size())) {
        if (text[i] == c) found = i;
    }
    return found;
}

size_t WholeCharacterPrefix(UINT codePage, const char* text, size_t length, size_t room) {
    if (length <= room) return length;
    size_t end = 0;
    while (end < room) {
        const size_t next = end + CharacterSize(codePage, text, end, length);
        if (next > room) break;
        end = next;
    }
    return end;
}
