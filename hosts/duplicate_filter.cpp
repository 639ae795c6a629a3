#include "framework/afx_mbcs.h"
#include "hosts/host_registry.h"

namespace {

bool SameText(const CString& a, const CString& b) {
    return afx::MbsICmp(a, b) == 0;
}

// The lists are parallel; should they ever differ in length, only the
// paired items are looked at, so no item is read past either list's end.
int PairCount(const CStringArray& keyPaths, const CStringArray& folderPaths) {
    return keyPaths.GetSize() < folderPaths.GetSize() ? keyPaths.GetSize() : folderPaths.GetSize();
}

}  // namespace

void RemoveDuplicateInstallations(CStringArray& keyPaths, CStringArray& folderPaths) {
    // The sizes are read again at every step: removals shrink both lists.
    for (int i = 0; i < PairCount(keyPaths, folderPaths) - 1; ++i) {
        for (int j = i + 1; j < PairCount(keyPaths, folderPaths);) {
            if (SameText(keyPaths[j], keyPaths[i]) || SameText(folderPaths[j], folderPaths[i])) {
                keyPaths.RemoveAt(j);
                folderPaths.RemoveAt(j);
            } else {
                ++j;
            }
        }
    }
}
