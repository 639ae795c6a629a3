// A fresh folder below the system's temporary folder, removed with all its
// content (read-only files and paths beyond MAX_PATH included) when it goes.
#pragma once

#include <string>

#include "framework/afx_string.h"

class ScopedTempFolder {
public:
    // The suffix ends the folder's name; it may hold GBK text.
    explicit ScopedTempFolder(const std::string& suffix = "");
    ~ScopedTempFolder();
    ScopedTempFolder(const ScopedTempFolder&) = delete;
    ScopedTempFolder& operator=(const ScopedTempFolder&) = delete;

    const CString& Path() const { return m_path; }
    // The folder, a backslash and the relative path.
    CString operator/(const char* relative) const;

private:
    CString m_path;
};

// Existence through the wide functions, for paths beyond MAX_PATH.
bool ExistsAnyLength(const char* path);

// The short (8.3) name of an existing path; empty when there is none.
CString ShortNameOf(const CString& path);
