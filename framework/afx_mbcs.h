// Multibyte (ANSI code page) primitives, the framework's equivalents of the
// run-time library's _mbs functions. On Windows the lead bytes are those of
// the system's ANSI code page; natively the GBK rule stands in for it.
#pragma once

#include <string>

namespace afx {

// True when the byte starts a double-byte character in the ANSI code page.
bool IsLeadByte(unsigned char byte);

// The one step of every multibyte walk: the length in bytes of the character
// at text, 2 for a lead byte with a byte after it, else 1 (a lead byte at the
// very end stands alone). Stepping by it, a GBK trail byte such as 0x5C is
// never looked at on its own.
int MbsCharLength(const char* text);

// Last occurrence of a single-byte character, stepping over double-byte
// characters so that a trail byte is never taken for it. Null if absent.
const char* MbsRChr(const char* text, unsigned char c);

// True when target occurs in text starting at a character boundary: a byte
// inside a double-byte character never starts a match. Byte-exact, case
// sensitive. Null texts count as empty.
bool MbsContains(const char* text, const char* target);

// Case-insensitive comparison: single-byte ASCII letters compare without
// regard to case, double-byte characters compare as they are.
int MbsICmp(const char* a, const char* b);

// The text with single-byte ASCII letters folded to lower case and
// double-byte characters kept as they are: two texts compare equal under
// MbsICmp exactly when their folded forms are equal.
std::string MbsFoldCase(const char* text);

}  // namespace afx
