// Walking 8-bit text of a Windows code page a character at a time: in the
// double-byte code pages (932, 936, 949, 950) a lead byte and the trail byte
// after it are one character, and a trail byte may equal an ASCII byte such
// as '\'; in UTF-8 (65001, which Windows 10 can use as the ANSI code page) a
// character takes up to four bytes. The code page is a parameter so that
// tests can use any of them.
#pragma once

#include <windows.h>

#include <string>

namespace cvx {

// The code page of the 8-bit text the plug-ins exchange with the host (file
// names, tag values): the system's ANSI code page. Every conversion and
// every walk of such text asks Windows for this one.
constexpr UINT kHostCodePage = CP_ACP;

// Position of the last `c` in `text` that is a character of its own, not the
// trail byte of a double-byte character; std::string::npos when none is.
size_t FindLastCharacter(UINT codePage, const std::string& text, char c);

// The length of the longest prefix of `text` (`length` bytes) that has at
// most `room` bytes and does not end inside a character.
size_t WholeCharacterPrefix(UINT codePage, const char* text, size_t length, size_t room);

}  // namespace cvx
