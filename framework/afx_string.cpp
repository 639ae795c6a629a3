#include "framework/afx_string.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

CString& CString::operator=(const char* text) {
    m_text = text ? text : "";
    return *this;
}

CString& CString::operator+=(const CString& other) {
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(const char* text) {
    if (text) m_text += text;
    return *this;
}

namespace {

#ifdef _WIN32
// The system's C runtime formats on Windows: MinGW's own printf, which the
// C++ library would pick, brings a floating-point formatter this program
// never uses along (some 17 KB in each program). Its formats (%s, %d, %u,
// %lu, %x, %c) read the same in both.
int MeasureFormatted(const char* format, va_list args) {
    return _vscprintf(format, args);
}
void WriteFormatted(char* out, size_t size, const char* format, va_list args) {
    _vsnprintf(out, size, format, args);
}
#else
int MeasureFormatted(const char* format, va_list args) {
    return std::vsnprintf(nullptr, 0, format, args);
}
void WriteFormatted(char* out, size_t size, const char* format, va_list args) {
    std::vsnprintf(out, size, format, args);
}
#endif

}  // namespace

void CString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int needed = MeasureFormatted(format, measure);
    va_end(measure);
    // Built apart: the arguments may point into this string. The buffer holds
    // the terminator too, so the text always ends.
    std::string out(needed > 0 ? static_cast<size_t>(needed) : 0, '\0');
    if (needed > 0) WriteFormatted(&out[0], out.size() + 1, format, args);
    va_end(args);
    m_text.swap(out);
}

CString CString::Left(int count) const {
    if (count <= 0) return CString();
    return CString(m_text.substr(0, static_cast<size_t>(count)));
}

CString CString::Mid(int first, int count) const {
    if (first < 0) first = 0;
    if (first >= GetLength() || count <= 0) return CString();
    return CString(m_text.substr(static_cast<size_t>(first), static_cast<size_t>(count)));
}

int CString::Delete(int index, int count) {
    if (index >= 0 && index < GetLength() && count > 0) {
        m_text.erase(static_cast<size_t>(index), static_cast<size_t>(count));
    }
    return GetLength();
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

int CStringArray::Add(const CString& item) {
    m_items.push_back(item);
    return GetSize() - 1;
}
