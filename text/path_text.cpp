#include "text/path_text.h"

#include <string>
#include <vector>

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

CString FileNameOf(const char* path) {
    const char* last = afx::MbsRChr(path, '\\');
    return CString(last ? last + 1 : (path ? path : ""));
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

namespace {

bool IsTrimmedAtNameEnd(char c) {
    return c == '.' || c == ' ';
}

// Splits the names after the root, resolving "." and ".."; false when ".."
// leads above the root or a name holds a ':'.
bool ResolveNames(const std::string& rest, std::vector<std::string>* names) {
    size_t start = 0;
    while (start <= rest.size()) {
        const CString text(rest);
        const size_t end = static_cast<size_t>(NameEndAt(text, static_cast<int>(start)));
        std::string name = rest.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (names->empty()) return false;
            names->pop_back();
            continue;
        }
        // Trailing dots and spaces go, as the file system drops them; a
        // trail byte at the end is part of a character and stays.
        const char* last = nullptr;
        for (const char* p = name.c_str(); *p; p += afx::MbsCharLength(p)) {
            if (afx::MbsCharLength(p) == 2 || !IsTrimmedAtNameEnd(*p)) last = p;
        }
        name.resize(last ? static_cast<size_t>(last - name.c_str() + afx::MbsCharLength(last)) : 0);
        if (name.empty()) continue;
        for (const char* p = name.c_str(); *p; p += afx::MbsCharLength(p)) {
            if (afx::MbsCharLength(p) == 1 && *p == ':') return false;  // a stream
        }
        names->push_back(name);
    }
    return true;
}

}  // namespace

bool NormalizePath(const char* path, CString* normal) {
    if (!path) return false;
    std::string unified;
    for (const char* p = path; *p; p += afx::MbsCharLength(p)) {
        const int length = afx::MbsCharLength(p);
        unified.append(length == 1 && *p == '/' ? "\\"
                                                : std::string(p, static_cast<size_t>(length)));
    }
    if (!IsAbsolutePath(unified.c_str())) return false;
    std::string root;
    size_t restStart = 0;
    if (unified[0] == '\\') {
        // "\\server\share": the root is both names.
        const CString text(unified);
        const int serverEnd = NameEndAt(text, 2);
        const int shareEnd = NameEndAt(text, serverEnd + 1);
        root = unified.substr(0, static_cast<size_t>(shareEnd));
        restStart = static_cast<size_t>(shareEnd) + 1;
    } else {
        root = unified.substr(0, 2);
        restStart = 3;
    }
    std::vector<std::string> names;
    if (!ResolveNames(restStart < unified.size() ? unified.substr(restStart) : "", &names)) {
        return false;
    }
    std::string out = root;
    for (const std::string& name : names) out += "\\" + name;
    if (names.empty() && root.size() == 2) out += "\\";  // a drive root keeps its backslash
    *normal = CString(out);
    return true;
}

bool CanonicalPath(const char* path, CString* canonical) {
    CString normal;
    if (!NormalizePath(path, &normal)) return false;
    *canonical = CString(afx::MbsFoldCase(normal));
    return true;
}

bool IsWithinFolder(const CString& canonicalPath, const CString& canonicalFolder) {
    if (canonicalPath == canonicalFolder) return true;
    const std::string& folder = canonicalFolder.str();
    const std::string prefix = !folder.empty() && folder.back() == '\\' ? folder : folder + "\\";
    // Equal bytes up to the prefix's end mean equal characters: its last
    // backslash is a real one in the path too.
    return canonicalPath.str().compare(0, prefix.size(), prefix) == 0 &&
           canonicalPath.GetLength() > static_cast<int>(prefix.size());
}

bool IsSamePath(const char* a, const char* b) {
    CString canonicalA;
    CString canonicalB;
    return CanonicalPath(a, &canonicalA) && CanonicalPath(b, &canonicalB) &&
           canonicalA == canonicalB;
}

bool IsDirectlyInFolder(const CString& canonicalPath, const CString& canonicalFolder) {
    if (canonicalPath == canonicalFolder || !IsWithinFolder(canonicalPath, canonicalFolder)) {
        return false;
    }
    CString parent = ParentFolder(canonicalPath);
    if (parent.GetLength() == kDriveLength) parent += "\\";
    return parent == canonicalFolder;
}

int PathDepth(const char* path) {
    int depth = 0;
    for (const char* p = path; *p; p += afx::MbsCharLength(p)) depth += *p == '\\';
    return depth;
}
