#include "text/path_text.h"

#include "framework/afx_mbcs.h"

namespace {

// "X:" and nothing more.
constexpr int kDriveLength = 2;

// Where a real backslash character ends the path, or -1.
int TrailingBackslashAt(const CString& path) {
    const char* text = path.GetString();
    const char* last = afx::MbsRChr(text, '\\');
    return last && last - text == path.GetLength() - 1 ? static_cast<int>(last - text) : -1;
}

// The end of the name that starts at `name`: its first real backslash or
// its terminator.
const char* NameEnd(const char* name) {
    const char* p = name;
    while (*p && *p != '\\') p += afx::MbsCharLength(p);
    return p;
}

bool IsUncPath(const char* path) {
    if (path[0] != '\\' || path[1] != '\\') return false;
    const char* server = path + 2;
    const char* serverEnd = NameEnd(server);
    // "\\.\" and "\\?\" name devices and raw namespaces, not servers.
    const bool device = serverEnd - server == 1 && (*server == '.' || *server == '?');
    if (serverEnd == server || device || *serverEnd != '\\') return false;
    const char* share = serverEnd + 1;
    return NameEnd(share) != share;
}

}  // namespace

void StripTrailingBackslash(CString& path) {
    const int at = TrailingBackslashAt(path);
    if (at > 0) path.Delete(at, 1);
}

void StripAnyTrailingBackslash(CString& path) {
    const int at = TrailingBackslashAt(path);
    if (at >= 0) path.Delete(at, 1);
}

CString AsFolderPath(const CString& folder) {
    if (folder.GetLength() == kDriveLength && IsAsciiLetter(folder.GetString()[0]) &&
        folder.GetString()[1] == ':') {
        return folder + "\\";
    }
    return folder;
}

bool IsAbsolutePath(const char* path) {
    if (!path || afx::MbsContains(path, "?") || afx::MbsContains(path, "*")) return false;
    if (IsUncPath(path)) return true;
    // "X:\": each test stops at the terminator before reading past it.
    return IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}

CString JoinPath(const CString& folder, const char* name) {
    CString path;
    path.Format("%s\\%s", folder.GetString(), name);
    return path;
}

CString ParentFolder(const char* path) {
    const char* last = afx::MbsRChr(path, '\\');
    if (!last) return CString();
    return CString(path, static_cast<int>(last - path));
}

CString NumberedName(const CString& stem, int attempt, const char* extension) {
    CString name;
    if (attempt <= 1) {
        name.Format("%s%s", stem.GetString(), extension);
    } else {
        name.Format("%s-%d%s", stem.GetString(), attempt, extension);
    }
    return name;
}

CString TimestampedStem(const CString& path, const LocalTimestamp& time) {
    CString stem;
    stem.Format("%s.%04d%02d%02d-%02d%02d%02d", path.GetString(), time.year, time.month, time.day,
                time.hour, time.minute, time.second);
    return stem;
}

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

int NameEndAt(const CString& text, int start) {
    return static_cast<int>(NameEnd(text.GetString() + start) - text.GetString());
}
