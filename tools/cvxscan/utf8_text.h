// Turning the plug-ins' 8-bit text and the file system's names into UTF-8
// for display, and reading UTF-8 a character at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace cvxscan {

// Appends each byte read as Windows-1252. The five bytes that code page
// leaves undefined become the C1 controls of the same value, as Windows
// maps them.
void AppendWindows1252AsUtf8(std::string& out, const std::string& text);

// Appends `text` with every byte that is not part of a well-formed UTF-8
// sequence replaced by U+FFFD. File names on Linux are bytes, not always
// UTF-8.
void AppendValidUtf8(std::string& out, const std::string& text);

// `text` (valid UTF-8) with C0 and C1 control characters replaced by U+FFFD,
// so a terminal shows them instead of obeying them.
std::string WithoutControls(const std::string& text);

inline bool IsUtf8Continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The code point of the character of valid UTF-8 `text` at `i`, and its
// length in bytes.
size_t DecodeUtf8At(const std::string& text, size_t i, uint32_t& code);

}  // namespace cvxscan
