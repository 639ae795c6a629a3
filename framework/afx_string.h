// CString and CStringArray: the framework's narrow (multibyte) text types.
// Platform-free, so that the text rules build and are tested natively too.
#pragma once

#include <string>
#include <vector>

class CString {
public:
    CString() = default;
    CString(const char* text)
        : m_text(text ? text : "") {}  // NOLINT: implicit like the framework's
    CString(const char* text, int length) : m_text(text, static_cast<size_t>(length)) {}
    explicit CString(const std::string& text) : m_text(text) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    operator const char*() const {
        return m_text.c_str();
    }  // NOLINT: implicit like the framework's
    const char* GetString() const { return m_text.c_str(); }
    const std::string& str() const { return m_text; }

    CString& operator=(const char* text);
    CString& operator+=(const CString& other);
    CString& operator+=(const char* text);

    // printf-style formatting into a string that grows as needed: a formatted
    // path is never cut short and never overruns anything.
    void Format(const char* format, ...)
#if defined(__GNUC__) && !defined(_WIN32)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    CString Left(int count) const;
    CString Mid(int first, int count) const;
    int Delete(int index, int count = 1);

    friend bool operator==(const CString& a, const CString& b) {
        return a.m_text == b.m_text;
    }
    friend bool operator==(const CString& a, const char* b) {
        return a.m_text == (b ? b : "");
    }
    friend bool operator!=(const CString& a, const CString& b) {
        return !(a == b);
    }
    friend bool operator!=(const CString& a, const char* b) {
        return !(a == b);
    }
    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, const char* b);
    friend CString operator+(const char* a, const CString& b);

private:
    std::string m_text;
};

class CStringArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    int Add(const CString& item);
    const CString& GetAt(int index) const { return m_items.at(static_cast<size_t>(index)); }
    const CString& operator[](int index) const { return GetAt(index); }
    void RemoveAll() { m_items.clear(); }

private:
    std::vector<CString> m_items;
};
