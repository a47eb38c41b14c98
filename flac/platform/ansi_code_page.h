// Conversion from 16-bit units to the platform's ANSI code page, with the
// platform's default replacement for characters the code page lacks.
#pragma once

#include <cstddef>
#include <cstdint>

// Converts the 0-terminated `units` (terminator included) into `out`, one
// byte per unit. Returns the bytes written including the NUL, or 0 when the
// result does not fit in `capacity` bytes.
size_t ConvertToAnsi(const uint16_t* units, char* out, size_t capacity);
