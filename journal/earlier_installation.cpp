#include "journal/earlier_installation.h"

#include <algorithm>

#include "journal/install_journal.h"
#include "journal/installed_now.h"
#include "record/record_store.h"
#include "record/served_places.h"
#include "run/product.h"
#include "run/run_log.h"
#include "system/file_copy.h"
#include "system/file_identity.h"
#include "system/file_ops.h"
#include "text/path_text.h"

void EarlierInstallations::TakeOver() {
    ReadHere();
    ReadElsewhere();
}

void EarlierInstallations::ReadHere() {
    const CString& folder = m_installFolder;
    switch (m_read.RecordOf(folder, &m_here)) {
        case RecordSource::MachineCopy:
            m_log.Write(afx::UiText("an earlier installation's record: ") +
                        afx::UiText::System(folder));
            break;
        case RecordSource::File:
            m_log.Write("the record's machine copy is missing or damaged; the record file is used");
            break;
        case RecordSource::None:
            // The plug-in was here, but its record is lost: what lies in its
            // own folder is its own all the same.
            if (IsSamePlace(m_read.EntryFolder(), folder) ||
                GetPathKind(JoinPath(folder, kUninstallerName)) == PathKind::File ||
                GetPathKind(JoinPath(folder, kInstallRecordName)) == PathKind::File) {
                m_log.Write("an earlier installation without a readable record");
                m_journal.TakeOverFolder(folder);
            }
            break;
    }
    m_journal.TakeOver(m_here);
}

void EarlierInstallations::ReadElsewhere() {
    const CString& installed = m_read.EntryFolder();
    // Another name of this folder (its short name, another case) is this folder.
    if (installed.IsEmpty() || IsSamePlace(installed, m_installFolder)) return;
    if (m_read.RecordOf(installed, &m_elsewhere) == RecordSource::None) {
        m_log.Write(afx::UiText("the installation named in Programs and Features has no "
                                "readable record; it is not moved: ") +
                    afx::UiText::System(installed));
        m_elsewhere = InstallRecord();
        return;
    }
    m_log.Write(afx::UiText("the installation moves here from ") + afx::UiText::System(installed));
    m_journal.TakeOver(m_elsewhere);
}

void EarlierInstallations::MergeInto(InstallRecord& record, const ReachNow& reach) {
    std::vector<CString> passedOver;
    m_noLongerInstalled =
        TakeInEarlier(record, m_here, m_journal.ChangedSince(), reach, &passedOver);
    if (!m_elsewhere.installFolder.IsEmpty()) {
        for (const JournalLine& line : TakeInEarlier(
                 record, HostsServedElsewhere(), m_journal.ChangedSince(), reach, &passedOver)) {
            m_noLongerInstalled.push_back(line);
        }
    }
    // A kept copy the host's newer file replaced, or a copy of the plug-in's
    // own file: it goes while it is what lies there now.
    const ServedPlaces places(m_installFolder);
    for (const CString& copy : passedOver) {
        CopiedFile content;
        if (places.PlaceOf(copy) == ServedPlaces::Place::KeptFiles && HashFile(copy, &content)) {
            m_noLongerInstalled.push_back(
                {JournalLine::Kind::RemoveFile, copy, CString(), content.size, content.sha256});
        }
    }
}

void EarlierInstallations::RemoveNoLongerInstalledAfterCommit() {
    if (!m_noLongerInstalled.empty()) {
        m_log.Write(afx::FormatUiText("no longer installed, removed after the commit: %d items",
                                      {static_cast<int>(m_noLongerInstalled.size())}));
    }
    for (const JournalLine& line : m_noLongerInstalled) m_journal.FinishAfterCommit(line);
}

InstallRecord EarlierInstallations::HostsServedElsewhere() {
    InstallRecord hosts = m_elsewhere;
    // Its folder's own files go with it; what it did for the hosts stays,
    // the host files it kept coming along into this folder.
    hosts.installFolder = m_installFolder;
    hosts.createdFolders.clear();
    const ServedPlaces earlierPlaces(m_elsewhere.installFolder);
    hosts.files.erase(std::remove_if(hosts.files.begin(), hosts.files.end(),
                                     [&](const InstallRecord::File& f) {
                                         return earlierPlaces.PlaceOf(f.path) ==
                                                ServedPlaces::Place::InstallFolder;
                                     }),
                      hosts.files.end());
    const CString keepFolder = JoinPath(m_installFolder, kKeptFilesFolder);
    hosts.keptFiles.clear();
    for (const InstallRecord::KeptFile& kept : m_elsewhere.keptFiles) {
        if (earlierPlaces.PlaceOf(kept.keptAs) != ServedPlaces::Place::KeptFiles) continue;
        // Made now, after the record of this run was taken: recorded here,
        // so that the uninstaller removes it too.
        if (GetPathKind(keepFolder) == PathKind::Absent && m_journal.CreateFolder(keepFolder)) {
            hosts.createdFolders.push_back(keepFolder);
        }
        const CString movedTo = FreeName(JoinPath(keepFolder, FileNameOf(kept.keptAs)), "");
        InstallRecord::File copied;
        if (m_journal.InstallFile(kept.keptAs, movedTo) && m_journal.Written(movedTo, &copied)) {
            hosts.keptFiles.push_back({kept.path, movedTo});
            // The earlier copy goes with its folder, while it is still the
            // bytes copied.
            m_elsewhere.files.push_back(
                {kept.keptAs, copied.size, InstallRecord::Origin::New, copied.sha256});
        }
    }
    return hosts;
}

void EarlierInstallations::ClearElsewhereAfterCommit() {
    const CString& folder = m_elsewhere.installFolder;
    if (folder.IsEmpty()) return;
    if (!m_journal.NameEarlierFolderBesideMark(folder)) {
        // Cleared all the same; only a run killed meanwhile leaves it be.
        m_log.Result("name the earlier installation folder beside the mark", folder, false,
                     GetLastError());
    }
    const ServedPlaces places(folder);
    const auto remove = [&](const CString& path, unsigned long long size, const CString& sha256) {
        m_journal.FinishAfterCommit({JournalLine::Kind::RemoveFile, path, CString(), size, sha256});
    };
    // Its files; among them the host files it kept, but only those MergeInto
    // copied here, each judged by the SHA-256 of its copy.
    for (const InstallRecord::File& file : m_elsewhere.files) {
        const ServedPlaces::Place place = places.PlaceOf(file.path);
        if (file.origin == InstallRecord::Origin::New &&
            (place == ServedPlaces::Place::InstallFolder ||
             place == ServedPlaces::Place::KeptFiles)) {
            remove(file.path, file.size, file.sha256);
        }
    }
    // Its own files, which its record does not list, hashed as they are now:
    // they go while they are still what was read here. The record last.
    for (const char* own : {kUninstallerName, kJournalFileName, kInstallRecordName}) {
        const CString path = JoinPath(folder, own);
        CopiedFile content;
        if (GetPathKind(path) == PathKind::File && !IsReparsePoint(path) &&
            HashFile(path, &content)) {
            remove(path, content.size, content.sha256);
        }
    }
    for (auto created = m_elsewhere.createdFolders.rbegin();
         created != m_elsewhere.createdFolders.rend(); ++created) {
        m_journal.FinishAfterCommit({JournalLine::Kind::RemoveFolder, *created, CString()});
    }
    m_log.Write(afx::UiText("the earlier installation folder is cleared after the commit: ") +
                afx::UiText::System(folder));
}
