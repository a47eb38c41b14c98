#pragma once

#include <cstdint>

namespace cvx::comment {

// Decodes UTF-8 `src` into 16-bit units, reading at most `count` bytes (a
// negative count: no limit). Tolerant by design: stray continuation bytes
// and 0xFE/0xFF are skipped, a sequence cut short by the limit or broken by
// a non-continuation byte ends the decoding (the partial character is
// dropped), characters above U+FFFF become '?', and over-long forms and
// surrogate values are passed through. A 0 unit ends the decoding and is
// written and counted. Returns the number of units written; `dst` must hold
// one unit per byte read. Deliberate: a byte that cannot start a character
// is skipped, where NarrowUtf8ToLatin1 ends the text. Pinned by
// DecodeUtf8ToUtf16.SkipsBytesThatCannotStartACharacter.
int32_t DecodeUtf8ToUtf16(const uint8_t* src, uint16_t* dst, int32_t count);

}  // namespace cvx::comment
