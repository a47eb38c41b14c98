#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx::ogg {

// Narrows NUL-terminated UTF-8 `src` to ISO 8859-1 in `dst`: characters up to
// U+00FF are kept as single bytes, every other character becomes '?'. A byte
// that cannot start a character (a stray continuation byte, 0xFE, 0xFF) ends
// the text. Writes at most capacity - 1 characters and always a NUL when
// capacity is at least 1. Deliberate: such a byte ends the text, where
// DecodeUtf8ToUtf16 skips it. Pinned by
// NarrowUtf8ToLatin1.AByteThatCannotStartACharacterEndsTheText.
void NarrowUtf8ToLatin1(const char* src, char* dst, int32_t capacity);

// The most bytes of `src` one character written takes: a lead byte and up to
// five continuation bytes.
inline constexpr size_t kMostBytesPerNarrowedCharacter = 6;

}  // namespace cvx::ogg
