#include "text/path_text.h"

#include "framework/afx_mbcs.h"

void StripTrailingBackslash(CString& path) {
    const char* text = path.GetString();
    const char* last = afx::MbsRChr(text, '\\');
    if (!last) return;
    const int at = static_cast<int>(last - text);
    if (at == 0) return;
    if (at == path.GetLength() - 1) path.Delete(at, 1);
}

void RemoveTrailingBackslashChar(CString& path) {
    const char* text = path.GetString();
    const char* last = afx::MbsRChr(text, '\\');
    if (last && last - text == path.GetLength() - 1) path.Delete(path.GetLength() - 1, 1);
}
