#include "journal/record_of_run.h"

#include <algorithm>

#include "framework/afx_mbcs.h"
#include "text/path_text.h"

void RecordOfRun::AddFolder(const CString& path) {
    m_record.createdFolders.push_back(path);
}

void RecordOfRun::AddFile(const InstallRecord::File& file, const CString& keptAs) {
    m_record.files.push_back(file);
    if (!keptAs.IsEmpty()) m_record.keptFiles.push_back({file.path, keptAs});
}

void RecordOfRun::AddKey(const CString& path, InstallRecord::Origin origin) {
    m_record.keys.push_back({path, origin});
}

void RecordOfRun::AddRelease(int year, const CString& hostFolder, const CString& hostKey) {
    std::vector<InstallRecord::Release>& releases = m_record.releases;
    const bool noted = std::any_of(releases.begin(), releases.end(), [&](const auto& r) {
        return r.year == year && afx::MbsICmp(r.hostKey, hostKey) == 0;
    });
    if (!noted) releases.push_back({year, hostFolder, hostKey});
}

InstallRecord RecordOfRun::Record(const CString& installFolder) const {
    InstallRecord record = m_record;
    record.installFolder = installFolder;
    return record;
}

bool RecordOfRun::Written(const CString& path, InstallRecord::File* file) const {
    const auto& files = m_record.files;
    const auto written = std::find_if(files.rbegin(), files.rend(),
                                      [&](const auto& f) { return IsSamePath(f.path, path); });
    if (written == files.rend()) return false;
    *file = *written;
    return true;
}
