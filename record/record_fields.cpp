#include "record/record_fields.h"

#include <cstdlib>
#include <cstring>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kFieldSeparator = '\t';
constexpr char kEscape = '%';
// Bytes that would break a line or a field; registry key names may hold them.
constexpr char kEscapedBytes[] = "%\t\r\n";
constexpr int kHexBase = 16;
constexpr size_t kSha256HexDigits = 64;

// The value of an upper-case hexadecimal digit, or -1.
int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value of a lower-case hexadecimal digit, or -1.
int LowerHexValue(char c) {
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c >= 'A' && c <= 'F' ? -1 : HexValue(c);
}

}  // namespace

std::string EscapeField(const char* text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char* p = text; *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (std::strchr(kEscapedBytes, *p)) {
            out += kEscape;
            out += kHex[byte / kHexBase];
            out += kHex[byte % kHexBase];
        } else {
            out += *p;
        }
    }
    return out;
}

bool UnescapeField(const std::string& field, CString* text) {
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != kEscape) {
            out += field[i];
            continue;
        }
        if (i + 2 >= field.size()) return false;
        const int high = HexValue(field[i + 1]);
        const int low = HexValue(field[i + 2]);
        if (high < 0 || low < 0) return false;
        out += static_cast<char>(high * kHexBase + low);
        i += 2;
    }
    *text = CString(out);
    return true;
}

std::string HexField(const std::string& bytes) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += kHex[byte / kHexBase];
        out += kHex[byte % kHexBase];
    }
    return out;
}

bool ParseHexField(const std::string& field, std::string* bytes) {
    if (field.size() % 2 != 0) return false;
    bytes->clear();
    bytes->reserve(field.size() / 2);
    for (size_t i = 0; i < field.size(); i += 2) {
        const int high = LowerHexValue(field[i]);
        const int low = LowerHexValue(field[i + 1]);
        if (high < 0 || low < 0) return false;
        *bytes += static_cast<char>(high * kHexBase + low);
    }
    return true;
}

bool ParseNumberField(const std::string& field, unsigned long long* number) {
    if (field.empty() || field.find_first_not_of("0123456789") != std::string::npos) return false;
    *number = std::strtoull(field.c_str(), nullptr, 10);
    return true;
}

bool ParseSha256Field(const std::string& field, CString* sha256) {
    if (!field.empty() && (field.size() != kSha256HexDigits ||
                           field.find_first_not_of("0123456789abcdef") != std::string::npos)) {
        return false;
    }
    *sha256 = CString(field);
    return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> SplitFields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find(kFieldSeparator, start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

namespace {

template <typename Fields>
void AppendAll(std::string& out, const Fields& fields) {
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) out += kFieldSeparator;
        out += field;
        first = false;
    }
    out += kLineEnd;
}

}  // namespace

void AppendLine(std::string& out, std::initializer_list<std::string> fields) {
    AppendAll(out, fields);
}

void AppendFields(std::string& out, const std::vector<std::string>& fields) {
    AppendAll(out, fields);
}
