#include "verify/verdicts.h"

#include <cstddef>

namespace {

struct VerdictRow {
    Verdict verdict;
    bool damage;
    const char* words;
};

constexpr VerdictRow kVerdicts[] = {
    {Verdict::AsInstalled, false, "as installed"},
    {Verdict::Missing, true, "missing"},
    {Verdict::Changed, true, "changed"},
    {Verdict::NamesOther, true, "names something else"},
    {Verdict::ThroughLink, true, "reached through a link"},
    {Verdict::NotAsKept, true, "kept package missing, changed or not recorded"},
    {Verdict::NotAsSealed, true, "not what this program's sealed package holds"},
    {Verdict::UnderWay, true, "a run killed half way, not finished"},
    {Verdict::HostsOwn, false, "changed since, the CAD's own"},
    {Verdict::InUse, false, "in use, not read"},
    {Verdict::Unproven, false, "recorded without a SHA-256, not judged"},
    {Verdict::HostNotFound, false, "a CAD folder discovery no longer finds, not checked"},
    {Verdict::NoProfile, false, "no profile of this account's, not checked"},
    {Verdict::Outside, false, "outside the places served now, not checked"},
};

// A row for every verdict, in the enumeration's order: a verdict is its index.
constexpr bool EveryVerdictInOrder() {
    size_t index = 0;
    for (const VerdictRow& row : kVerdicts) {
        if (static_cast<size_t>(row.verdict) != index++) return false;
    }
    return index == static_cast<size_t>(Verdict::Outside) + 1;
}
static_assert(EveryVerdictInOrder(), "kVerdicts: one row per verdict, in order");

const VerdictRow& RowOf(Verdict verdict) {
    return kVerdicts[static_cast<size_t>(verdict)];
}

}  // namespace

bool IsDamage(Verdict verdict) {
    return RowOf(verdict).damage;
}

CString VerdictWords(Verdict verdict) {
    const VerdictRow& row = RowOf(verdict);
    if (verdict == Verdict::AsInstalled) return row.words;
    return CString(row.words) + (row.damage ? " (damage)" : " (not damage)");
}

Verdict JudgeVerifiedFile(FilePlace place, Ownership ownership) {
    switch (ownership) {
        case Ownership::Own:
        // Never asked: only the plug-in's own files are judged.
        case Ownership::NotRecorded:
            return Verdict::AsInstalled;
        case Ownership::Gone:
            return Verdict::Missing;
        case Ownership::Changed:
            return place == FilePlace::Host ? Verdict::HostsOwn : Verdict::Changed;
        case Ownership::InUse:
            return Verdict::InUse;
        case Ownership::Unproven:
            return Verdict::Unproven;
    }
    return Verdict::Unproven;
}
