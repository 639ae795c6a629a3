#include "journal/install_journal.h"

#include <algorithm>
#include <string>

#include "entries/plugin_key.h"
#include "framework/afx_mbcs.h"
#include "journal/journal_work.h"
#include "record/file_ownership.h"
#include "run/run_contract.h"
#include "system/file_copy.h"
#include "system/file_ops.h"
#include "system/reg_ops.h"
#include "text/path_text.h"

const char kJournalFileName[] = "InstallJournal.txt";

namespace {

// What a replaced file is called while it is kept aside beside itself.
constexpr char kAsideExtension[] = ".setup-old";
// What a file written from data is called until it is whole.
constexpr char kTemporaryExtension[] = ".new";

using Origin = InstallRecord::Origin;

// Writes the bytes to a new file (replacing one of that name), flushed; its
// handle is closed before anything else happens to it, so a failed file is
// deleted at once. False, with GetLastError() set, when it is not whole.
bool WriteNewFile(const CString& path, const void* data, unsigned long size) {
    DWORD written = 0;
    bool complete = false;
    {
        const afx::ScopedKernelHandle file(CreateFileA(
            path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        complete = file && WriteFile(file.Get(), data, size, &written, nullptr) &&
                   written == size && FlushFileBuffers(file.Get());
    }
    if (!complete) {
        const DWORD error = GetLastError();
        DeleteFileA(path);
        SetLastError(error);
    }
    return complete;
}

bool IsFolder(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

bool InstallJournal::MakeDurable(const CString& installFolder) {
    m_durablePath = JoinPath(installFolder, kJournalFileName);
    // A new file: an earlier journal here was recovered before this run.
    m_durable.Reset(CreateFileA(m_durablePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    bool written = m_durable.IsValid();
    for (const Change& change : m_changes) {
        if (written && change.kind == Change::Kind::Folder) {
            written = WriteAhead(JournalLine::Kind::Folder, change.path);
        }
    }
    written =
        written && WritePluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue, installFolder);
    const DWORD error = written ? 0 : GetLastError();
    m_log.Result("journal file", m_durablePath, written, error);
    SetLastError(error);
    return written;
}

bool InstallJournal::WriteAhead(JournalLine::Kind kind, const CString& path, const CString& aside) {
    return WriteAhead({kind, path, aside});
}

bool InstallJournal::WriteAhead(const JournalLine& line) {
    if (!m_durable) return true;
    const JournalLine::Kind kind = line.kind;
    const std::string text = FormatJournalLine(line);
    DWORD written = 0;
    if (!WriteFile(m_durable.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                   nullptr) ||
        written != text.size()) {
        return false;
    }
    // Written, the line survives the process being killed. It must reach the
    // disk before a file is moved aside or a queued deletion taken out, or a
    // power cut could lose the way back; a new file or key overwrites
    // nothing, so its line may wait for the next flush. Finish lines are
    // flushed with the commit line that follows them.
    const bool overwrites = kind == JournalLine::Kind::Replace || kind == JournalLine::Kind::Keep ||
                            kind == JournalLine::Kind::Commit ||
                            kind == JournalLine::Kind::QueuedDeletion;
    if (!overwrites) return true;
    ++m_flushes;
    return FlushFileBuffers(m_durable.Get()) != FALSE;
}

void InstallJournal::DropDurableFile() {
    if (!m_durable) return;
    m_durable.Reset();
    DeleteFileA(m_durablePath);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kEarlierFolderValue);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue);
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
}

void InstallJournal::TakeOver(const InstallRecord& earlier) {
    for (const InstallRecord::File& file : earlier.files) {
        CString canonical;
        if (file.origin == Origin::New && CanonicalPath(file.path, &canonical)) {
            m_recorded.push_back({canonical, file});
        }
    }
}

void InstallJournal::TakeOverFolder(const CString& installFolder) {
    CanonicalPath(installFolder, &m_ownFolder);
}

Ownership InstallJournal::OwnershipNow(const CString& path) {
    CString canonical;
    if (!CanonicalPath(path, &canonical)) return Ownership::NotRecorded;
    if (!m_ownFolder.IsEmpty() && IsWithinFolder(canonical, m_ownFolder)) return Ownership::Own;
    const auto recorded = std::find_if(m_recorded.begin(), m_recorded.end(),
                                       [&](const Recorded& r) { return r.canonical == canonical; });
    if (recorded == m_recorded.end()) return Ownership::NotRecorded;
    const Ownership now = JudgeRecordedFile(recorded->file, ReadFileNow(path, recorded->file.size));
    if (now == Ownership::Changed) {
        m_log.Write(afx::UiText("changed since it was installed (size or SHA-256), not the "
                                "plug-in's own any more: ") +
                    afx::UiText::System(path));
    } else if (now == Ownership::Unproven) {
        m_log.Write(afx::UiText("the earlier record holds no SHA-256 for it, not taken for the "
                                "plug-in's own: ") +
                    afx::UiText::System(path));
    }
    return now;
}

bool InstallJournal::CreateFolderChain(const CString& path) {
    std::vector<CString> missing;
    for (CString level = AsFolderPath(path); !IsFolder(level);) {
        missing.push_back(level);
        const CString parent = AsFolderPath(ParentFolder(level));
        if (parent.IsEmpty() || parent == level) break;  // a root is never made
        level = parent;
    }
    for (auto level = missing.rbegin(); level != missing.rend(); ++level) {
        if (!CreateFolder(*level)) return false;
    }
    return true;
}

bool InstallJournal::CreateFolder(const CString& path, NewFolderAccess access) {
    if (CreateFolderWith(path, access)) {
        m_log.Result("create folder", path, true);
        WriteAhead(JournalLine::Kind::Folder, path);
        m_changes.push_back(
            {Change::Kind::Folder, path, CString(), false, 0, 0, Origin::New, CString()});
        return true;
    }
    const DWORD error = GetLastError();
    const bool exists = GetPathKind(path) == PathKind::Folder;
    if (!exists) m_log.Result("create folder", path, false, error);
    return exists;
}

bool InstallJournal::ClearRestartQueueFor(const CString& path, bool* takenOut) {
    // Taken out by an earlier attempt at this file (a copy retried).
    *takenOut = std::any_of(m_changes.begin(), m_changes.end(), [&](const Change& change) {
        return change.kind == Change::Kind::QueuedDeletion && IsSamePath(change.path, path);
    });
    if (!m_restartQueue) m_restartQueue.emplace();
    switch (m_restartQueue->For(path)) {
        case QueuedForRestart::Nothing:
            return true;
        case QueuedForRestart::Other:
            m_log.Write(afx::UiText("queued for the next restart by another program, a restart "
                                    "must come first: ") +
                        afx::UiText::System(path));
            SetLastError(exit_code::kRestartFirst);
            return false;
        case QueuedForRestart::OwnDeletion:
            break;
    }
    constexpr char kTakeOut[] = "take the plug-in's own deletion out of the restart's queue:";
    if (!WriteAhead(JournalLine::Kind::QueuedDeletion, path) ||
        !m_restartQueue->TakeOutOwnDeletion(path)) {
        const DWORD error = GetLastError();
        m_log.Result(kTakeOut, path, false, error);
        SetLastError(error);
        return false;
    }
    m_log.Result(kTakeOut, path, true);
    m_changes.push_back(
        {Change::Kind::QueuedDeletion, path, CString(), false, 0, 0, Origin::New, CString()});
    *takenOut = true;
    return true;
}

bool InstallJournal::InstallFile(const CString& source, const CString& destination, Origin origin,
                                 const CString& keepFolder) {
    bool takenOut = false;
    if (!ClearRestartQueueFor(destination, &takenOut)) return false;
    DWORD attributes = GetFileAttributesA(destination);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        if (!RemoveLink(destination)) {
            m_log.Result("remove link", destination, false, GetLastError());
            return false;
        }
        m_log.Result("remove link", destination, true);
        attributes = INVALID_FILE_ATTRIBUTES;
    }
    const bool replacing =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // A file the plug-in put there itself is never kept as a host's own; nor
    // is the one it meant to delete at the restart itself.
    const Ownership ownership = !replacing ? Ownership::Gone
                                : takenOut ? Ownership::Own
                                           : OwnershipNow(destination);
    const bool own = ownership == Ownership::Own;
    const bool keep = replacing && !own && !keepFolder.IsEmpty();
    CString aside;
    // A folder in the way stays where it is; the copy fails on it below.
    if (keep && !CreateFolder(keepFolder)) return false;
    if (replacing) {
        aside = keep ? FreeName(JoinPath(keepFolder, FileNameOf(destination)), "")
                     : FreeName(destination, kAsideExtension);
        if (!WriteAhead(keep ? JournalLine::Kind::Keep : JournalLine::Kind::Replace, destination,
                        aside)) {
            m_log.Result("write journal before replacing", destination, false, GetLastError());
            return false;
        }
        ClearReadOnly(destination);
        if (!MoveFileExA(destination, aside, MOVEFILE_COPY_ALLOWED)) {
            const DWORD error = GetLastError();
            SetFileAttributesA(destination, attributes);
            m_log.Result("set aside", destination, false, error);
            SetLastError(error);
            return false;
        }
    } else if (!WriteAhead(JournalLine::Kind::New, destination)) {
        m_log.Result("write journal before writing", destination, false, GetLastError());
        return false;
    }
    CopiedFile copied;
    if (!CopyToNewFile(source, destination, m_copyBuffer, &copied)) {
        const DWORD error = GetLastError();
        if (!aside.IsEmpty()) RestoreFile(aside, destination, attributes);
        m_log.Result("write file", destination, false, error);
        SetLastError(error);
        return false;
    }
    m_log.Result(replacing ? "replace file" : "write file", destination, true);
    if (keep && (ownership == Ownership::Changed || ownership == Ownership::Unproven)) {
        m_log.Write(afx::UiText("kept as the host's own, put back at uninstall: ") +
                    afx::UiText::System(destination));
        m_keptAsHostsOwn.push_back(destination);
        if (ownership == Ownership::Changed) m_changedSince.push_back(destination);
    }
    const Origin recorded =
        origin == Origin::Settings || !replacing || own || keep ? origin : Origin::Replaced;
    m_changes.push_back({Change::Kind::File, destination, aside, keep, attributes, copied.size,
                         recorded, copied.sha256});
    return true;
}

bool InstallJournal::KeepAsInstalled(const CString& path) {
    CString canonical;
    const auto recorded =
        CanonicalPath(path, &canonical)
            ? std::find_if(m_recorded.begin(), m_recorded.end(),
                           [&](const Recorded& r) { return r.canonical == canonical; })
            : m_recorded.end();
    const bool own =
        recorded != m_recorded.end() &&
        JudgeRecordedFile(recorded->file, ReadFileNow(path, recorded->file.size)) == Ownership::Own;
    if (!own) {
        m_log.Write(afx::UiText("not what was recorded, not kept as installed: ") +
                    afx::UiText::System(path));
        return false;
    }
    m_log.Result("keep as installed", path, true);
    m_changes.push_back({Change::Kind::AsInstalled, path, CString(), false, 0, recorded->file.size,
                         Origin::New, recorded->file.sha256});
    return true;
}

bool InstallJournal::InstallData(const CString& destination, const void* data, unsigned long size) {
    const CString temporary = destination + kTemporaryExtension;
    // Noted like any new file: a run killed before it is installed leaves none.
    if (!WriteAhead(JournalLine::Kind::New, temporary) || !WriteNewFile(temporary, data, size)) {
        return false;
    }
    const bool installed = InstallFile(temporary, destination);
    const DWORD error = GetLastError();
    DeleteFileA(temporary);
    SetLastError(error);
    return installed;
}

void InstallJournal::NoteKey(const CString& path, bool existedBefore) {
    if (!existedBefore) WriteAhead(JournalLine::Kind::Key, path);
    m_changes.push_back({Change::Kind::Key, path, CString(), false, 0, 0,
                         existedBefore ? Origin::Replaced : Origin::New, CString()});
}

void InstallJournal::NoteRelease(int year, const CString& hostFolder, const CString& hostKey) {
    const bool noted = std::any_of(m_releases.begin(), m_releases.end(), [&](const auto& r) {
        return r.year == year && afx::MbsICmp(r.hostKey, hostKey) == 0;
    });
    if (!noted) m_releases.push_back({year, hostFolder, hostKey});
}

void InstallJournal::Rollback() {
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        switch (change->kind) {
            case Change::Kind::Folder:
                RemoveDirectoryA(change->path);
                break;
            case Change::Kind::Key:
                if (change->origin == Origin::New) {
                    DeleteKeyNotThroughLinks(HKEY_CURRENT_USER, change->path);
                }
                break;
            case Change::Kind::File:
                RemoveFile(change->path);
                if (!change->aside.IsEmpty()) {
                    RestoreFile(change->aside, change->path, change->oldAttributes);
                }
                break;
            case Change::Kind::AsInstalled:
                break;  // untouched
            case Change::Kind::QueuedDeletion: {
                const bool queued = QueueDeletionAtRestart(change->path);
                m_log.Result("queue the deletion at the next restart again:", change->path, queued,
                             queued ? 0 : GetLastError());
                break;
            }
        }
    }
    if (!m_changes.empty()) m_log.Write("installation undone");
    m_changes.clear();
    DropDurableFile();
}

void InstallJournal::FinishAfterCommit(const JournalLine& line) {
    m_finish.push_back(line);
}

bool InstallJournal::NameEarlierFolderBesideMark(const CString& earlierFolder) {
    return !m_durable || WritePluginValue(HKEY_LOCAL_MACHINE, kEarlierFolderValue, earlierFolder);
}

std::vector<CString> InstallJournal::Commit() {
    // Written ahead with the commit line, which flushes them all.
    for (const JournalLine& line : m_finish) WriteAhead(line);
    WriteAhead(JournalLine::Kind::Commit, CString());
    if (std::any_of(m_changes.begin(), m_changes.end(), [](const Change& change) {
            return change.kind == Change::Kind::QueuedDeletion;
        })) {
        ForgetDeletionsNoLongerQueued();
    }
    std::vector<CString> scheduled;
    for (Change& change : m_changes) {
        if (change.aside.IsEmpty() || change.keep) continue;
        // Still in use (a module the host has loaded): gone at the next
        // restart, remembered as the plug-in's own deletion there, which a
        // later installation need not wait for.
        if (RemoveOrSchedule(change.aside, m_log) == Removal::AtNextRestart) {
            scheduled.push_back(change.aside);
        }
        change.aside = CString();
    }
    if (m_finish.empty()) DropDurableFile();
    return scheduled;
}

void InstallJournal::Finish(const ServedPlaces& places) {
    if (!m_finish.empty()) {
        m_log.Write(afx::FormatUiText("after the commit: %d finish lines",
                                      {static_cast<int>(m_finish.size())}));
    }
    for (const JournalLine& line : m_finish) FinishJournalLine(line, places, m_log);
    m_finish.clear();
    DropDurableFile();
}

InstallRecord InstallJournal::Record(const CString& installFolder) const {
    InstallRecord record;
    record.installFolder = installFolder;
    record.releases = m_releases;
    for (const Change& change : m_changes) {
        switch (change.kind) {
            case Change::Kind::Folder:
                record.createdFolders.push_back(change.path);
                break;
            case Change::Kind::Key:
                record.keys.push_back({change.path, change.origin});
                break;
            case Change::Kind::File:
            case Change::Kind::AsInstalled:
                record.files.push_back({change.path, change.size, change.origin, change.sha256});
                if (change.keep) record.keptFiles.push_back({change.path, change.aside});
                break;
            case Change::Kind::QueuedDeletion:
                break;  // taken out for good once the installation is complete
        }
    }
    return record;
}

bool InstallJournal::Written(const CString& path, InstallRecord::File* file) const {
    for (auto change = m_changes.rbegin(); change != m_changes.rend(); ++change) {
        const bool written =
            change->kind == Change::Kind::File || change->kind == Change::Kind::AsInstalled;
        if (written && IsSamePath(change->path, path)) {
            *file = {change->path, change->size, change->origin, change->sha256};
            return true;
        }
    }
    return false;
}
