#include "deploy/kept_package.h"

#include <windows.h>

#include <algorithm>

#include "deploy/package_layout.h"
#include "framework/scoped_handles.h"
#include "record/file_ownership.h"
#include "record/record_store.h"
#include "run/product.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"

std::vector<CString> KeptPackageFaults(const EarlierRecords& earlier,
                                       const CString& installFolder) {
    const CString folder = JoinPath(installFolder, kPackageDataFolder);
    // The machine's copy whenever there is one: a folder users may change
    // (one an earlier version made) could hold a record file rewritten to
    // fit a planted file.
    InstallRecord record;
    if (earlier.RecordOf(installFolder, &record) == RecordSource::None) {
        return {JoinPath(installFolder, kInstallRecordName)};
    }
    // The record may name the folder and its files by other names: they are
    // compared by their keys.
    const PlaceKeys& keys = FileSystemPlaceKeys();
    CString folderKey;
    if (GetPathKind(folder) != PathKind::Folder || IsReparsePoint(folder) ||
        !keys.KeyOf(folder, &folderKey)) {
        return {folder};
    }
    std::vector<CString> faults;
    std::vector<CString> recorded;  // keys
    for (const InstallRecord::File& file : record.files) {
        CString key;
        if (file.origin != InstallRecord::Origin::New || !keys.KeyOf(file.path, &key) ||
            !IsDirectlyInFolder(key, folderKey)) {
            continue;
        }
        recorded.push_back(key);
        const CString path = JoinPath(folder, FileNameOf(file.path));
        if (JudgeRecordedFile(file, ReadFileNow(path, file.size)) != Ownership::Own) {
            faults.push_back(FileNameOf(file.path));
        }
    }
    WIN32_FIND_DATAA entry;
    const afx::ScopedFindHandle listing(FindFirstFileA(JoinPath(folder, "*"), &entry));
    if (!listing) return faults;
    do {
        CString key;
        const bool file = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (file && (!keys.KeyOf(JoinPath(folder, entry.cFileName), &key) ||
                     std::find(recorded.begin(), recorded.end(), key) == recorded.end())) {
            faults.push_back(entry.cFileName);
        }
    } while (FindNextFileA(listing.Get(), &entry));
    return faults;
}
