#include "lifecycle/file_ops.h"
#include "lifecycle/served_places.h"
#include "text/path_text.h"

bool PassesThroughLink(const CString& servedFolder, const CString& path) {
    CString served;
    CString at;
    CString servedKey;
    // A path that names no one place cannot be shown to be clear.
    if (!NormalizePath(servedFolder, &served) || !NormalizePath(path, &at) ||
        !CanonicalPath(served, &servedKey)) {
        return true;
    }
    // From the path up to the served folder, the folder itself included.
    for (;;) {
        if (IsReparsePoint(at)) return true;
        CString atKey;
        if (!CanonicalPath(at, &atKey) || atKey == servedKey || !IsWithinFolder(atKey, servedKey)) {
            return false;
        }
        at = AsFolderPath(ParentFolder(at));
    }
}
