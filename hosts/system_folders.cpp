#include "hosts/system_folders.h"

#include "text/path_text.h"

namespace {

// A drive root "c:\" or a share "\\server\share": no name below the root.
bool IsRoot(const CString& canonical) {
    if (canonical.GetLength() == 3 && canonical.GetString()[1] == ':') return true;
    if (canonical.GetLength() < 2 || canonical.GetString()[0] != '\\') return false;
    const int serverEnd = NameEndAt(canonical, 2);
    return NameEndAt(canonical, serverEnd + 1) == canonical.GetLength();
}

}  // namespace

const char* SystemFolderRefusal(const char* folder, const SystemFolders& system,
                                const PlaceKeys& keys) {
    CString key;
    if (!keys.KeyOf(folder, &key)) return "not an absolute folder";
    if (IsRoot(key)) return "a drive's root";
    for (const CString& windows : system.windows) {
        CString windowsKey;
        if (keys.KeyOf(windows, &windowsKey) && IsWithinFolder(key, windowsKey)) {
            return "the Windows folder";
        }
    }
    for (const CString& root : system.exactRoots) {
        CString rootKey;
        if (keys.KeyOf(root, &rootKey) && key == rootKey) {
            return "a Program Files or user profile root";
        }
    }
    return nullptr;
}
