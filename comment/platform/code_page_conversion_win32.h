// WideCharToMultiByte into a buffer of fixed size, keeping what fits.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace cvx::comment {

// ConvertToAnsi (ansi_code_page.h) for any code page, so that tests can use
// double-byte code pages on any system.
size_t ConvertToCodePage(UINT codePage, const uint16_t* units, char* out, size_t capacity);

}  // namespace cvx::comment
