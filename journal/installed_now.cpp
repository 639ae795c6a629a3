#include "journal/installed_now.h"

#include <algorithm>
#include <string>

#include "framework/afx_mbcs.h"
#include "text/path_text.h"

namespace {

using Origin = InstallRecord::Origin;
using Kind = JournalLine::Kind;

bool SameKey(const char* a, const char* b) {
    return afx::MbsICmp(a, b) == 0;
}

// The key itself or one below it: the parent stays while it holds one.
bool IsKeyWithin(const CString& key, const CString& parent) {
    const std::string within = afx::MbsFoldCase(key) + "\\";
    const std::string folded = afx::MbsFoldCase(parent) + "\\";
    return within.compare(0, folded.size(), folded) == 0;
}

template <typename Items, typename Same>
bool Holds(const Items& items, Same same) {
    return std::any_of(items.begin(), items.end(), same);
}

// A folder an earlier installation made stays while anything the record
// holds now lies in it (the installation folder always does).
bool HoldsAnything(const CString& folder, const InstallRecord& record, const KnownPlaces& known) {
    const CString& key = known.KeyOf(folder);
    if (key.IsEmpty()) return true;
    const auto within = [&](const char* path) {
        const CString& held = known.KeyOf(path);
        return !held.IsEmpty() && IsWithinFolder(held, key);
    };
    return within(record.installFolder) ||
           Holds(record.files, [&](const InstallRecord::File& f) { return within(f.path); }) ||
           Holds(record.keptFiles,
                 [&](const InstallRecord::KeptFile& k) { return within(k.keptAs); }) ||
           Holds(record.createdFolders, [&](const CString& f) { return within(f); });
}

// The earlier files: what this run installed again keeps its earlier
// origin; what it can reach and the plug-in made goes while it is still
// what was installed; the rest stays recorded.
std::vector<JournalLine> TakeInFiles(InstallRecord& record, const InstallRecord& earlier,
                                     const ReachNow& reach, const KnownPlaces& known) {
    std::vector<JournalLine> lines;
    for (const InstallRecord::File& old : earlier.files) {
        const auto again =
            std::find_if(record.files.begin(), record.files.end(),
                         [&](const auto& f) { return known.Same(f.path, old.path); });
        if (again != record.files.end()) {
            // Created by the plug-in once, whatever this run found there.
            again->origin = old.origin;
        } else if (old.origin == Origin::Settings || !reach.ReachesFile(old.path) ||
                   (old.origin == Origin::New && old.sha256.IsEmpty())) {
            // Out of reach, the user's, or of a record that kept no SHA-256:
            // never proven the plug-in's, it is only ever left and named.
            record.files.push_back(old);
        } else if (old.origin == Origin::New) {
            // Goes while it is still what was installed; one there before the
            // plug-in (Replaced) was never its to remove.
            lines.push_back({Kind::RemoveFile, old.path, CString(), old.size, old.sha256});
        }
    }
    return lines;
}

// The host's own files an earlier installation kept: back in their places
// once the plug-in's file there goes, unless this run (which `installed`
// those files) keeps them too.
std::vector<JournalLine> TakeInKeptFiles(InstallRecord& record, const InstallRecord& earlier,
                                         const std::vector<InstallRecord::File>& installed,
                                         const std::vector<CString>& changedSince,
                                         const ReachNow& reach, const KnownPlaces& known,
                                         std::vector<CString>* passedOver) {
    std::vector<JournalLine> lines;
    for (const InstallRecord::KeptFile& old : earlier.keptFiles) {
        const auto mine = std::find_if(record.keptFiles.begin(), record.keptFiles.end(),
                                       [&](const auto& k) { return known.Same(k.path, old.path); });
        if (mine != record.keptFiles.end()) {
            // Both kept the host's file of this path: the earlier copy is its
            // true one, unless this run found the file there changed since.
            const bool newerHere = Holds(
                changedSince, [&](const CString& path) { return known.Same(path, old.path); });
            passedOver->push_back(newerHere ? old.keptAs : mine->keptAs);
            if (!newerHere) *mine = old;
            continue;
        }
        const bool installedAgain =
            Holds(installed, [&](const auto& f) { return known.Same(f.path, old.path); });
        // What the plug-in wrote in its place: the put-back tells the host's
        // newer file there from the plug-in's own by it.
        const auto plugins =
            std::find_if(earlier.files.begin(), earlier.files.end(),
                         [&](const auto& f) { return known.Same(f.path, old.path); });
        if (installedAgain || !reach.ReachesFile(old.path) || plugins == earlier.files.end() ||
            plugins->sha256.IsEmpty()) {
            record.keptFiles.push_back(old);
        } else {
            lines.push_back({Kind::PutBack, old.path, old.keptAs, plugins->size, plugins->sha256});
        }
    }
    return lines;
}

// The earlier entries: those this run wrote again keep their origin, those
// it can reach and the plug-in made go, the deepest first.
std::vector<JournalLine> TakeInKeys(InstallRecord& record, const InstallRecord& earlier,
                                    const ReachNow& reach) {
    const std::vector<InstallRecord::Key> written = record.keys;
    std::vector<JournalLine> lines;
    for (const InstallRecord::Key& old : earlier.keys) {
        const auto again = std::find_if(record.keys.begin(), record.keys.end(),
                                        [&](const auto& k) { return SameKey(k.path, old.path); });
        if (again != record.keys.end()) {
            again->origin = old.origin;
            continue;
        }
        // An "Applications" key stays while an entry written now is in it.
        const bool holdsWritten =
            Holds(written, [&](const auto& k) { return IsKeyWithin(k.path, old.path); });
        if (holdsWritten || !reach.ReachesKey(old.path)) {
            record.keys.push_back(old);
        } else if (old.origin == Origin::New) {
            lines.push_back({Kind::RemoveKey, old.path});
        }
    }
    SortDeepestFirst(lines, [](const JournalLine& line) { return line.path.GetString(); });
    return lines;
}

void TakeInReleases(InstallRecord& record, const InstallRecord& earlier, const ReachNow& reach) {
    for (const InstallRecord::Release& old : earlier.releases) {
        const bool known = Holds(record.releases, [&](const auto& r) {
            return r.year == old.year && SameKey(r.hostKey, old.hostKey);
        });
        // A host found now but not served is served no more.
        if (!known && !reach.ReachesHost(old)) record.releases.push_back(old);
    }
}

// The earlier folders nothing recorded lies in any more go, the deepest
// first; the rest stay recorded, before the ones this run made.
std::vector<JournalLine> TakeInFolders(InstallRecord& record, const InstallRecord& earlier,
                                       const ReachNow& reach, const KnownPlaces& known) {
    std::vector<CString> made;
    std::vector<JournalLine> lines;
    for (const CString& old : earlier.createdFolders) {
        if (Holds(record.createdFolders, [&](const CString& f) { return known.Same(f, old); })) {
            continue;
        }
        if (!reach.ReachesFolder(old) || HoldsAnything(old, record, known)) {
            made.push_back(old);
        } else {
            lines.push_back({Kind::RemoveFolder, old});
        }
    }
    made.insert(made.end(), record.createdFolders.begin(), record.createdFolders.end());
    record.createdFolders = made;
    SortDeepestFirst(lines, [](const JournalLine& line) { return line.path.GetString(); });
    return lines;
}

}  // namespace

std::vector<JournalLine> TakeInEarlier(InstallRecord& record, const InstallRecord& earlier,
                                       const std::vector<CString>& changedSince,
                                       const ReachNow& reach, std::vector<CString>* passedOver) {
    const std::vector<InstallRecord::File> installed = record.files;
    const KnownPlaces known(reach);
    // In this order: the folders stay while what the record holds now lies in them.
    std::vector<JournalLine> lines = TakeInFiles(record, earlier, reach, known);
    const std::vector<JournalLine> putBacks =
        TakeInKeptFiles(record, earlier, installed, changedSince, reach, known, passedOver);
    const std::vector<JournalLine> keys = TakeInKeys(record, earlier, reach);
    TakeInReleases(record, earlier, reach);
    const std::vector<JournalLine> folders = TakeInFolders(record, earlier, reach, known);
    for (const auto* more : {&putBacks, &keys, &folders}) {
        lines.insert(lines.end(), more->begin(), more->end());
    }
    return lines;
}

bool ServeTheSameHosts(const InstallRecord& a, const InstallRecord& b, const PlaceKeys& keys) {
    const KnownPlaces known(keys);
    const auto servedBy = [&](const InstallRecord& by, const InstallRecord::Release& release) {
        return Holds(by.releases, [&](const auto& r) {
            return r.year == release.year && known.Same(r.hostFolder, release.hostFolder);
        });
    };
    return std::all_of(a.releases.begin(), a.releases.end(),
                       [&](const auto& r) { return servedBy(b, r); }) &&
           std::all_of(b.releases.begin(), b.releases.end(),
                       [&](const auto& r) { return servedBy(a, r); });
}
