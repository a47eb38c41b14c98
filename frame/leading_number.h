#pragma once

#include <cstddef>
#include <cstdint>

namespace cvx {

// The integer value of the decimal digits at the start of `text`, read no
// further than `length` bytes or a NUL: leading white space (space, \t \n \v
// \f \r) is skipped, then one optional '+' or '-', then digits up to the
// first non-digit. No digits give 0. Overflow wraps modulo 2^32 into int32,
// so tag values such as "2002-10-19" (2002) or "3/12" (3) read as people
// expect and absurd ones never trap.
int32_t LeadingDecimalNumber(const char* text, size_t length);

// The same for NUL-terminated text.
int32_t LeadingDecimalNumber(const char* text);

}  // namespace cvx
