// Conversion from 16-bit units to the platform's ANSI code page, with the
// platform's default replacement for characters the code page lacks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx::comment {

// Converts the 0-terminated `units` (terminator included) into `out`. When
// the result does not fit in `capacity` bytes, converts the longest run of
// leading units whose text fits with a NUL after it, so no character is cut.
// Returns the bytes written including the NUL, or 0 when nothing fits.
size_t ConvertToAnsi(const uint16_t* units, char* out, size_t capacity);

// The length of the longest prefix of the ANSI `text` (`length` bytes) that
// has at most `room` bytes and does not end inside a character.
size_t WholeAnsiCharacters(const char* text, size_t length, size_t room);

}  // namespace cvx::comment
