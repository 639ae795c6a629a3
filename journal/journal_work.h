// What a journal's lines ask of the machine (journal/line_kinds.h): a line
// before the commit is undone when its run is rolled back or was killed; a
// line after it is finished (and a replaced file's aside dropped) by the
// run itself and, when that run was killed first, by the next one. The
// live run and the recovery of a killed one call these alike.
#pragma once

#include <functional>
#include <vector>

#include "journal/journal_line.h"
#include "journal/line_kinds.h"

class RunLog;
class ServedPlaces;

// Undoes one line of a run that did not commit.
void UndoJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log);

// Does one line's work after the commit: a replaced file's aside goes, and
// each finish line is done. Other lines have nothing left to do.
LineDone FinishJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log);

// Undoes a run's lines in the one order: newest first, then, once
// `dropJournal` has taken away the journal file (which may lie in one of
// them), the folders the run made, newest first too.
void UndoJournal(const std::vector<JournalLine>& lines, const ServedPlaces& places, RunLog& log,
                 const std::function<void()>& dropJournal);
