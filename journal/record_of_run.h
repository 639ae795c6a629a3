// What the install record will say this run did, gathered as the journal
// goes: the folders it made, the files it wrote (their sizes and SHA-256,
// and the host's own files it kept for good), the keys it made or made
// anew, and the host installations it served.
#pragma once

#include "framework/afx_string.h"
#include "record/install_record.h"

class RecordOfRun {
public:
    void AddFolder(const CString& path);
    // A file written (or left as an earlier installation wrote it);
    // `keptAs` names the host's own file it replaced, kept for good.
    void AddFile(const InstallRecord::File& file, const CString& keptAs = CString());
    void AddKey(const CString& path, InstallRecord::Origin origin);
    // Noted once.
    void AddRelease(int year, const CString& hostFolder, const CString& hostKey);

    InstallRecord Record(const CString& installFolder) const;
    // The file this run wrote last at `path`, as the record will say; false
    // when it wrote none there.
    bool Written(const CString& path, InstallRecord::File* file) const;

private:
    InstallRecord m_record;
};
