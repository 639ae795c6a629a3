#include "text/path_text.h"

#include "framework/afx_mbcs.h"

namespace {

// Where a real backslash character ends the path, or -1.
int TrailingBackslashAt(const CString& path) {
    const char* text = path.GetString();
    const char* last = afx::MbsRChr(text, '\\');
    return last && last - text == path.GetLength() - 1 ? static_cast<int>(last - text) : -1;
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

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
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

bool IsAbsolutePath(const char* path) {
    if (!path || afx::MbsContains(path, "?") || afx::MbsContains(path, "*")) return false;
    if (IsUncPath(path)) return true;
    // "X:\": each test stops at the terminator before reading past it.
    return IsAsciiLetter(path[0]) && path[1] == ':' && path[2] == '\\';
}
