#include "journal/install_journal.h"

#include <algorithm>
#include <string>

#include "entries/plugin_key.h"
#include "journal/journal_work.h"
#include "journal/line_kinds.h"
#include "removal/restart_queue.h"
#include "system/file_copy.h"
#include "system/file_ops.h"
#include "text/path_text.h"

const char kJournalFileName[] = "InstallJournal.txt";

namespace {

// What a replaced file is called while it is kept aside beside itself.
constexpr char kAsideExtension[] = ".setup-old";
// What a file written from data is called until it is whole.
constexpr char kTemporaryExtension[] = ".new";

using Kind = JournalLine::Kind;
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
        RemoveFile(path);
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
    // What was done before (the folders made for it) is written first.
    std::vector<JournalLine> before;
    before.swap(m_lines);
    for (const JournalLine& line : before) written = WriteAhead(line) && written;
    written =
        written && WritePluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue, installFolder);
    const DWORD error = written ? 0 : GetLastError();
    m_log.Result("journal file", m_durablePath, written, error);
    SetLastError(error);
    return written;
}

bool InstallJournal::WriteAhead(const JournalLine& line) {
    m_lines.push_back(line);
    if (!m_durable) return true;
    const std::string text = FormatJournalLine(line);
    DWORD written = 0;
    if (!WriteFile(m_durable.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                   nullptr) ||
        written != text.size()) {
        return false;
    }
    // Written, the line survives the process being killed; one whose change
    // overwrites or takes out something must reach the disk first, or a
    // power cut could lose the way back.
    if (!FormOf(line.kind).flushFirst) return true;
    ++m_flushes;
    return FlushFileBuffers(m_durable.Get()) != FALSE;
}

void InstallJournal::DropDurableFile() {
    if (!m_durable) return;
    m_durable.Reset();
    RemoveFile(m_durablePath);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kEarlierFolderValue);
    DeletePluginValue(HKEY_LOCAL_MACHINE, kInstallationUnderWayValue);
    DeletePluginKeyWhenEmpty(HKEY_LOCAL_MACHINE);
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
    const JournalLine line{Kind::Folder, path};
    if (FolderLine::Do(line, access)) {
        m_log.Result("create folder", path, true);
        WriteAhead(line);
        m_record.AddFolder(path);
        return true;
    }
    const DWORD error = GetLastError();
    const bool exists = GetPathKind(path) == PathKind::Folder;
    if (!exists) m_log.Result("create folder", path, false, error);
    return exists;
}

bool InstallJournal::ClearRestartQueueFor(const CString& path, bool* takenOut) {
    // Taken out by an earlier attempt at this file (a copy retried).
    *takenOut = std::any_of(m_lines.begin(), m_lines.end(), [&](const JournalLine& line) {
        return line.kind == Kind::QueuedDeletion && IsSamePath(line.path, path);
    });
    if (!m_restartGate.HoldsOwnDeletionOf(path)) return true;
    if (!m_restartGate.TakeOut(path, [&] { return WriteAhead({Kind::QueuedDeletion, path}); })) {
        return false;
    }
    *takenOut = true;
    return true;
}

bool InstallJournal::ClearLinkAt(const CString& path, DWORD* attributes) {
    *attributes = GetFileAttributesA(path);
    if (*attributes == INVALID_FILE_ATTRIBUTES || !(*attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return true;
    }
    if (!RemoveLink(path)) {
        m_log.Result("remove link", path, false, GetLastError());
        return false;
    }
    m_log.Result("remove link", path, true);
    *attributes = INVALID_FILE_ATTRIBUTES;
    return true;
}

bool InstallJournal::WriteAheadOfFile(const CString& destination, DWORD attributes,
                                      const CString& keepFolder, JournalLine* line) {
    // A folder in the way stays where it is; the copy fails on it.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *line = {Kind::New, destination};
        if (WriteAhead(*line)) return true;
        m_log.Result("write journal before writing", destination, false, GetLastError());
        return false;
    }
    const bool keep = !keepFolder.IsEmpty();
    if (keep && !CreateFolder(keepFolder)) return false;
    const CString aside = keep ? FreeName(JoinPath(keepFolder, FileNameOf(destination)), "")
                               : FreeName(destination, kAsideExtension);
    *line = {keep ? Kind::Keep : Kind::Replace, destination, aside, 0, CString(), attributes};
    if (!WriteAhead(*line)) {
        m_log.Result("write journal before replacing", destination, false, GetLastError());
        return false;
    }
    if (!ReplaceLine::Do(*line)) {
        const DWORD error = GetLastError();
        m_log.Result("set aside", destination, false, error);
        SetLastError(error);
        return false;
    }
    return true;
}

bool InstallJournal::InstallFile(const CString& source, const CString& destination, Origin origin,
                                 const CString& keepFolder) {
    bool takenOut = false;
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    if (!ClearRestartQueueFor(destination, &takenOut) || !ClearLinkAt(destination, &attributes)) {
        return false;
    }
    const bool replacing =
        attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    // A file the plug-in put there itself is never kept as a host's own; nor
    // is the one it meant to delete at the restart itself.
    const Ownership ownership = !replacing ? Ownership::Gone
                                : takenOut ? Ownership::Own
                                           : m_ownership.Now(destination);
    // A file in use that was the plug-in's is set aside as its own (or the
    // copy fails on it, as on any file in use): never kept as the host's.
    const bool own = ownership == Ownership::Own || ownership == Ownership::InUse;
    const bool keep = replacing && !own && !keepFolder.IsEmpty();
    JournalLine line;
    if (!WriteAheadOfFile(destination, attributes, keep ? keepFolder : CString(), &line)) {
        return false;
    }
    CopiedFile copied;
    if (!CopyToNewFile(source, destination, m_copyBuffer, &copied)) {
        const DWORD error = GetLastError();
        if (replacing) ReplaceLine::PutBackAside(line);
        m_log.Result("write file", destination, false, error);
        SetLastError(error);
        return false;
    }
    m_log.Result(replacing ? "replace file" : "write file", destination, true);
    if (keep) NoteKeptAsHostsOwn(destination, ownership);
    const Origin recorded =
        origin == Origin::Settings || !replacing || own || keep ? origin : Origin::Replaced;
    m_record.AddFile({destination, copied.size, recorded, copied.sha256},
                     keep ? line.aside : CString());
    return true;
}

void InstallJournal::NoteKeptAsHostsOwn(const CString& path, Ownership ownership) {
    if (ownership != Ownership::Changed && ownership != Ownership::Unproven) return;
    m_log.Write(afx::UiText("kept as the host's own, put back at uninstall: ") +
                afx::UiText::System(path));
    m_keptAsHostsOwn.push_back(path);
    if (ownership == Ownership::Changed) m_changedSince.push_back(path);
}

bool InstallJournal::KeepAsInstalled(const CString& path) {
    const InstallRecord::File* recorded = m_ownership.StillAsRecorded(path);
    if (!recorded) {
        m_log.Write(afx::UiText("not what was recorded, not kept as installed: ") +
                    afx::UiText::System(path));
        return false;
    }
    m_log.Result("keep as installed", path, true);
    // Untouched on disk: nothing to journal.
    m_record.AddFile({path, recorded->size, Origin::New, recorded->sha256});
    return true;
}

bool InstallJournal::InstallData(const CString& destination, const void* data, unsigned long size) {
    const CString temporary = destination + kTemporaryExtension;
    // Noted like any new file: a run killed before it is installed leaves none.
    if (!WriteAhead({Kind::New, temporary}) || !WriteNewFile(temporary, data, size)) return false;
    const bool installed = InstallFile(temporary, destination);
    const DWORD error = GetLastError();
    RemoveFile(temporary);
    SetLastError(error);
    return installed;
}

bool InstallJournal::NoteEntryChange(Kind kind) {
    JournalLine line{kind, CString()};
    if (SavedEntryLine::Save(&line) && WriteAhead(line)) return true;
    const DWORD error = GetLastError();
    m_log.Result("write journal before changing", line.path, false, error);
    SetLastError(error);
    return false;
}

void InstallJournal::NoteKey(const CString& path, bool existedBefore) {
    // One made anew over an existing key is recorded, but not the run's to undo.
    if (!existedBefore) WriteAhead({Kind::Key, path});
    m_record.AddKey(path, existedBefore ? Origin::Replaced : Origin::New);
}

void InstallJournal::Rollback(const ServedPlaces& places) {
    UndoJournal(m_lines, places, m_log, [this] { DropDurableFile(); });
    if (!m_lines.empty()) m_log.Write("installation undone");
    m_lines.clear();
    m_finish.clear();
    DropDurableFile();
}

void InstallJournal::FinishAfterCommit(const JournalLine& line) {
    m_finish.push_back(line);
}

bool InstallJournal::NameEarlierFolderBesideMark(const CString& earlierFolder) {
    return !m_durable || WritePluginValue(HKEY_LOCAL_MACHINE, kEarlierFolderValue, earlierFolder);
}

void InstallJournal::Commit() {
    // Written ahead with the commit line, which flushes them all.
    for (const JournalLine& line : m_finish) WriteAhead(line);
    m_finishLines = static_cast<int>(m_finish.size());
    m_finish.clear();
    WriteAhead({Kind::Commit, CString()});
    if (std::any_of(m_lines.begin(), m_lines.end(),
                    [](const JournalLine& line) { return line.kind == Kind::QueuedDeletion; })) {
        ForgetDeletionsNoLongerQueued();
    }
}

FinishedWork InstallJournal::Finish(const ServedPlaces& places) {
    if (m_finishLines > 0) {
        m_log.Write(afx::FormatUiText("after the commit: %d finish lines", {m_finishLines}));
    }
    FinishedWork finished;
    for (const JournalLine& line : m_lines) {
        switch (FinishJournalLine(line, places, m_log)) {
            case LineDone::AtNextRestart:
                finished.atNextRestart = true;
                break;
            case LineDone::NotDone:
                finished.notDone.push_back(line);
                break;
            case LineDone::Done:
                break;
        }
    }
    m_lines.clear();
    m_finishLines = 0;
    DropDurableFile();
    return finished;
}
