#include "journal/earlier_ownership.h"

#include <algorithm>

#include "run/run_log.h"
#include "system/file_identity.h"
#include "text/path_text.h"

void EarlierOwnership::TakeOver(const InstallRecord& earlier) {
    for (const InstallRecord::File& file : earlier.files) {
        CString key;
        if (file.origin == InstallRecord::Origin::New &&
            FileSystemPlaceKeys().KeyOf(file.path, &key)) {
            m_recorded.push_back({key, file});
        }
    }
}

void EarlierOwnership::TakeOverFolder(const CString& installFolder) {
    FileSystemPlaceKeys().KeyOf(installFolder, &m_ownFolder);
}

const EarlierOwnership::Recorded* EarlierOwnership::Find(const CString& path) const {
    CString key;
    if (!FileSystemPlaceKeys().KeyOf(path, &key)) return nullptr;
    const auto recorded = std::find_if(m_recorded.begin(), m_recorded.end(),
                                       [&](const Recorded& r) { return r.key == key; });
    return recorded != m_recorded.end() ? &*recorded : nullptr;
}

Ownership EarlierOwnership::Now(const CString& path) const {
    CString key;
    if (!FileSystemPlaceKeys().KeyOf(path, &key)) return Ownership::NotRecorded;
    if (!m_ownFolder.IsEmpty() && IsWithinFolder(key, m_ownFolder)) return Ownership::Own;
    const Recorded* recorded = Find(path);
    if (!recorded) return Ownership::NotRecorded;
    const Ownership now = JudgeRecordedFile(recorded->file, ReadFileNow(path, recorded->file.size));
    if (now == Ownership::Changed) {
        m_log.Write(afx::UiText("changed since it was installed (size or SHA-256), not the "
                                "plug-in's own any more: ") +
                    afx::UiText::System(path));
    } else if (now == Ownership::InUse) {
        m_log.Write(afx::UiText("in use, its content cannot be read; replaced as the plug-in's "
                                "own, never kept as the host's: ") +
                    afx::UiText::System(path));
    } else if (now == Ownership::Unproven) {
        m_log.Write(afx::UiText("the earlier record holds no SHA-256 for it, not taken for the "
                                "plug-in's own: ") +
                    afx::UiText::System(path));
    }
    return now;
}

const InstallRecord::File* EarlierOwnership::StillAsRecorded(const CString& path) const {
    const Recorded* recorded = Find(path);
    const bool own =
        recorded &&
        JudgeRecordedFile(recorded->file, ReadFileNow(path, recorded->file.size)) == Ownership::Own;
    return own ? &recorded->file : nullptr;
}
