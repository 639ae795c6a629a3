#include "journal/journal_work.h"

#include "journal/line_kinds.h"

namespace {

struct LineWorks {
    UndoWork undo;
    FinishWork finish;
};

template <typename... Kinds>
constexpr std::array<LineWorks, sizeof...(Kinds)> WorksOf(LineKindList<Kinds...>) {
    return {{{Kinds::Undo, Kinds::Finish}...}};
}

// Indexed like the forms: each kind's undo and finish.
constexpr auto kWorks = WorksOf(LineKinds{});

const LineWorks& WorksFor(JournalLine::Kind kind) {
    return kWorks[static_cast<size_t>(kind)];
}

}  // namespace

void UndoJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    WorksFor(line.kind).undo(line, places, log);
}

LineDone FinishJournalLine(const JournalLine& line, const ServedPlaces& places, RunLog& log) {
    return WorksFor(line.kind).finish(line, places, log);
}

void UndoJournal(const std::vector<JournalLine>& lines, const ServedPlaces& places, RunLog& log,
                 const std::function<void()>& dropJournal) {
    for (const bool last : {false, true}) {
        if (last) dropJournal();
        for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
            if (FormOf(line->kind).undoneLast == last) UndoJournalLine(*line, places, log);
        }
    }
}
