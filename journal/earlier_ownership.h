// What earlier installations made, as an installation meets it again: a
// file an earlier record names is the plug-in's own while it is still what
// was installed (record/file_ownership.h, the one rule), and every file of
// a folder known to be the plug-in's whose record was lost is its own too.
// Replaced as the plug-in's, such a file is never kept as a host's.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "record/file_ownership.h"
#include "record/install_record.h"

class RunLog;

class EarlierOwnership {
public:
    explicit EarlierOwnership(RunLog& log) : m_log(log) {}
    EarlierOwnership(const EarlierOwnership&) = delete;
    EarlierOwnership& operator=(const EarlierOwnership&) = delete;

    // An earlier installation's record: the files it made.
    void TakeOver(const InstallRecord& earlier);
    // No readable record, but the folder is known to be the plug-in's.
    void TakeOverFolder(const CString& installFolder);

    // Own when the file at `path` is the plug-in's: in a folder taken over
    // whole, or recorded and still as installed (logged when it is not).
    Ownership Now(const CString& path) const;
    // The earlier record's entry for the file at `path` while the file is
    // still what it recorded; null otherwise.
    const InstallRecord::File* StillAsRecorded(const CString& path) const;

private:
    // Paths by their keys (FileSystemPlaceKeys): a record may name a file
    // by another of its names.
    struct Recorded {
        CString key;
        InstallRecord::File file;
    };
    const Recorded* Find(const CString& path) const;

    RunLog& m_log;
    std::vector<Recorded> m_recorded;
    CString m_ownFolder;  // its key: an installation folder taken over whole
};
