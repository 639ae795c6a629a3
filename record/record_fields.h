// The line form the install record and the journal file share: one item a
// line, ended by CR LF, its fields separated by tabs, and the bytes that
// would break a line or a field ('%', tab, CR, LF) written as "%XX" (two
// upper-case hexadecimal digits). Platform-free.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "framework/afx_string.h"

std::string EscapeField(const char* text);
// False for a '%' not followed by two hexadecimal digits.
bool UnescapeField(const std::string& field, CString* text);

// A decimal number (digits only); false otherwise.
bool ParseNumberField(const std::string& field, unsigned long long* number);
// A SHA-256 as files and lines hold it: 64 lower-case hexadecimal digits,
// or empty (not known); false otherwise.
bool ParseSha256Field(const std::string& field, CString* sha256);

// Any bytes (NULs too) as a field: two lower-case hexadecimal digits each.
std::string HexField(const std::string& bytes);
// False for an odd number of digits or any other character.
bool ParseHexField(const std::string& field, std::string* bytes);

// The lines of a text, each without its line end (CR LF or LF); a last
// line without one counts too.
std::vector<std::string> SplitLines(const std::string& text);
// The fields of one line without its line end (at least one, maybe empty).
std::vector<std::string> SplitFields(const std::string& line);
// The fields, already escaped, as one line with its line end.
void AppendLine(std::string& out, std::initializer_list<std::string> fields);
// The same, of a number of fields known only when the line is written.
void AppendFields(std::string& out, const std::vector<std::string>& fields);
