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
