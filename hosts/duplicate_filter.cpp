#include <string>
#include <unordered_set>

#include "framework/afx_mbcs.h"
#include "hosts/found_hosts.h"

void RemoveDuplicateInstallations(CStringArray& keyPaths, CStringArray& folderPaths,
                                  const PlaceKeys* places) {
    // One pass in list order: an item survives when neither its key path nor
    // its folder equals (case-insensitively) that of an earlier survivor,
    // which is what comparing every later item with each survivor gives, in
    // linear rather than quadratic time.
    //
    // The lists are parallel; should they ever differ in length, only the
    // paired items are filtered and the unpaired rest is kept as it is.
    const int pairs =
        keyPaths.GetSize() < folderPaths.GetSize() ? keyPaths.GetSize() : folderPaths.GetSize();
    std::unordered_set<std::string> seenKeys;
    std::unordered_set<std::string> seenFolders;
    CStringArray keptKeys;
    CStringArray keptFolders;
    for (int i = 0; i < pairs; ++i) {
        std::string key = afx::MbsFoldCase(keyPaths[i]);
        CString place;
        std::string folder = afx::MbsFoldCase(
            places && places->KeyOf(folderPaths[i], &place) ? place : folderPaths[i]);
        if (seenKeys.count(key) || seenFolders.count(folder)) continue;
        seenKeys.insert(std::move(key));
        seenFolders.insert(std::move(folder));
        keptKeys.Add(keyPaths[i]);
        keptFolders.Add(folderPaths[i]);
    }
    for (int i = pairs; i < keyPaths.GetSize(); ++i) keptKeys.Add(keyPaths[i]);
    for (int i = pairs; i < folderPaths.GetSize(); ++i) keptFolders.Add(folderPaths[i]);
    keyPaths = keptKeys;
    folderPaths = keptFolders;
}
