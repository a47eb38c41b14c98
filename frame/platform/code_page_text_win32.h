// Walking 8-bit text of a Windows code page a character at a time: in the
// double-byte code pages (932, 936, 949, 950) a lead byte and the trail byte
// after it are one character, and a trail byte may equal an ASCII byte such
// as '\'. The code page is a parameter so that tests can use any of them.
#pragma once

#include <windows.h>

#include <string>

// Position of the last `c` in `text` that is a character of its own, not the
// trail byte of a double-byte character; std::string::npos when none is.
size_t FindLastCharacter(UINT codePage, const std::string& text, char c);

// The length of the longest prefix of `text` (`length` bytes) that has at
// most `room` bytes and does not end inside a character.
size_t WholeCharacterPrefix(UINT codePage, const char* text, size_t length, size_t room);
