// Substring search over ANSI multibyte text.
#pragma once

// True when target occurs in text starting at a character boundary: a byte
// inside a double-byte character never starts a match. Byte-exact, case
// sensitive. Null texts count as empty.
bool ContainsAtCharBoundary(const char* text, const char* target);
