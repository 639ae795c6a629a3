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

int Depth(const char* key) {
    int depth = 0;
    for (const char* p = key; *p; p += afx::MbsCharLength(p)) depth += *p == '\\';
    return depth;
}

template <typename Items, typename Same>
bool Holds(const Items& items, Same same) {
    return std::any_of(items.begin(), items.end(), same);
}

// A folder an earlier installation made stays while anything the record
// holds now lies in it (the installation folder always does).
bool HoldsAnything(const CString& folder, const InstallRecord& record) {
    CString canonical;
    if (!CanonicalPath(folder, &canonical)) return true;
    const auto within = [&](const char* path) {
        CString held;
        return CanonicalPath(path, &held) && IsWithinFolder(held, canonical);
    };
    return within(record.installFolder) ||
           Holds(record.files, [&](const InstallRecord::File& f) { return within(f.path); }) ||
           Holds(record.keptFiles,
                 [&](const InstallRecord::KeptFile& k) { return within(k.keptAs); }) ||
           Holds(record.createdFolders, [&](const CString& f) { return within(f); });
}

}  // namespace

std::vector<JournalLine> TakeInEarlier(InstallRecord& record, const InstallRecord& earlier,
                                       const std::vector<CString>& changedSince,
                                       const ReachNow& reach, std::vector<CString>* passedOver) {
    const std::vector<InstallRecord::File> installed = record.files;
    const std::vector<InstallRecord::Key> written = record.keys;
    std::vector<JournalLine> files;
    std::vector<JournalLine> putBacks;
    std::vector<JournalLine> keys;
    std::vector<JournalLine> folders;

    for (const InstallRecord::File& old : earlier.files) {
        const auto again =
            std::find_if(record.files.begin(), record.files.end(),
                         [&](const auto& f) { return IsSamePath(f.path, old.path); });
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
            files.push_back({Kind::RemoveFile, old.path, CString(), old.size, old.sha256});
        }
    }

    for (const InstallRecord::KeptFile& old : earlier.keptFiles) {
        const auto mine = std::find_if(record.keptFiles.begin(), record.keptFiles.end(),
                                       [&](const auto& k) { return IsSamePath(k.path, old.path); });
        if (mine != record.keptFiles.end()) {
            // Both kept the host's file of this path: the earlier copy is its
            // true one, unless this run found the file there changed since.
            const bool newerHere = Holds(
                changedSince, [&](const CString& path) { return IsSamePath(path, old.path); });
            passedOver->push_back(newerHere ? old.keptAs : mine->keptAs);
            if (!newerHere) *mine = old;
            continue;
        }
        const bool installedAgain =
            Holds(installed, [&](const auto& f) { return IsSamePath(f.path, old.path); });
        // What the plug-in wrote in its place: the put-back tells the host's
        // newer file there from the plug-in's own by it.
        const auto plugins =
            std::find_if(earlier.files.begin(), earlier.files.end(),
                         [&](const auto& f) { return IsSamePath(f.path, old.path); });
        if (installedAgain || !reach.ReachesFile(old.path) || plugins == earlier.files.end() ||
            plugins->sha256.IsEmpty()) {
            record.keptFiles.push_back(old);
        } else {
            putBacks.push_back(
                {Kind::PutBack, old.path, old.keptAs, plugins->size, plugins->sha256});
        }
    }

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
            keys.push_back({Kind::RemoveKey, old.path, CString()});
        }
    }
    std::stable_sort(keys.begin(), keys.end(), [](const JournalLine& a, const JournalLine& b) {
        return Depth(a.path) > Depth(b.path);
    });

    for (const InstallRecord::Release& old : earlier.releases) {
        const bool known = Holds(record.releases, [&](const auto& r) {
            return r.year == old.year && SameKey(r.hostKey, old.hostKey);
        });
        // A host found now but not served is served no more.
        if (!known && !reach.ReachesHost(old)) record.releases.push_back(old);
    }

    // The earlier folders first, in the order they were made.
    std::vector<CString> made;
    for (const CString& old : earlier.createdFolders) {
        if (Holds(record.createdFolders, [&](const CString& f) { return IsSamePath(f, old); })) {
            continue;
        }
        if (!reach.ReachesFolder(old) || HoldsAnything(old, record)) {
            made.push_back(old);
        } else {
            folders.insert(folders.begin(), {Kind::RemoveFolder, old, CString()});
        }
    }
    made.insert(made.end(), record.createdFolders.begin(), record.createdFolders.end());
    record.createdFolders = made;

    std::vector<JournalLine> lines = files;
    for (const auto* more : {&putBacks, &keys, &folders}) {
        lines.insert(lines.end(), more->begin(), more->end());
    }
    return lines;
}

bool ServeTheSameHosts(const InstallRecord& a, const InstallRecord& b) {
    const auto servedBy = [](const InstallRecord& by, const InstallRecord::Release& release) {
        return Holds(by.releases, [&](const auto& r) {
            return r.year == release.year && IsSamePath(r.hostFolder, release.hostFolder);
        });
    };
    return std::all_of(a.releases.begin(), a.releases.end(),
                       [&](const auto& r) { return servedBy(b, r); }) &&
           std::all_of(b.releases.begin(), b.releases.end(),
                       [&](const auto& r) { return servedBy(a, r); });
}
