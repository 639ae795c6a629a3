// What a journal's lines ask of the machine (journal/journal_line.h): a
// line before the commit is undone when the run that wrote it was killed; a
// finish line after it (and a replaced file's aside) is carried out by the
// run itself and, when that run was killed first, by the next one. Each
// line is input: it acts only within the served places, on the normal form
// of the path it checked, never through a link, and logs what it did with
// the system's error code.
#pragma once

#include "framework/afx_string.h"
#include "journal/journal_line.h"
#include "record/install_record.h"

class RunLog;
class ServedPlaces;

// Undoes one change of a killed run: a file it wrote goes, a file it renamed
// aside comes back, a key it made goes, a folder it made goes when empty, a
// deletion it took out of the restart's queue is queued again.
void UndoJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log);

// Does one line's work after the commit: a replaced file's aside goes, a
// file goes while it is still the one recorded (record/file_ownership.h:
// its size and SHA-256), a host's own file kept aside goes back to its
// place, a key goes below a served "Applications" key, a folder goes when
// empty. Other lines have nothing left to do.
void FinishJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log);

// A folder an installation may have made goes when it is empty.
void RemoveFolderWhenEmpty(const CString& folder, const ServedPlaces& places, RunLog& log);

enum class PutBack { Now, AtNextRestart, NewerThere, StaysKept, Failed, NoneKept };
// A host's own file kept aside (`kept`) back to its place (`path`, where the
// plug-in wrote `pluginsFile`), both normal paths the caller checked: now
// when the place is free; at the next restart when the plug-in's own
// deletion of the file there is queued; dropped when the file there is the
// host's newer one (the plug-in's changed since); else kept where it is,
// since the file there may be the plug-in's that could not be removed, or
// one no record proves (StaysKept). Logged.
PutBack PutBackHostFile(const CString& path, const CString& kept,
                        const InstallRecord::File& pluginsFile, RunLog& log);

enum class Removal { Now, AtNextRestart, Failed };
// Deletes a file (one already gone counts as deleted); one in use goes at
// the next restart, remembered as the plug-in's own deletion there
// (journal/pending_restart.h). Logged.
Removal RemoveOrSchedule(const CString& path, RunLog& log);
