#include <windows.h>

#include <cstring>
#include <optional>

#include "framework/afx_mbcs.h"
#include "framework/afx_registry.h"
#include "framework/afx_unicode.h"
#include "hosts/host_discovery.h"
#include "hosts/system_folders.h"
#include "system/file_identity.h"
#include "system/reg_ops.h"
#include "text/path_text.h"

const char* const HostProductKeys::kPaths[HostProductKeys::kCount] = {
    "SOFTWARE\\Gstarsoft\\GstarCAD", "SOFTWARE\\Gstarsoft\\GstarArch",
    "SOFTWARE\\Gstarsoft\\GstarAEC", "SOFTWARE\\Gstarsoft\\GSGP",
    "SOFTWARE\\Gstarsoft\\GSNT",     "SOFTWARE\\Gstarsoft\\GSDL",
    "SOFTWARE\\Gstarsoft\\GSDQ",     "SOFTWARE\\Gstarsoft\\GstarMechStd",
};

namespace {

// The value whose presence marks a key as the description of an installation.
constexpr char kMarkerValueName[] = "Location";
// Subkey names and marker data are read into buffers of this size; a longer
// name skips its key, longer data leaves the key unmarked.
constexpr DWORD kNameBufferSize = 256;
constexpr DWORD kValueBufferSize = 256;
// The deepest tree the registry allows; keys below this depth (counted from
// the release key) are not searched.
constexpr int kMaxKeyDepth = 512;

// Keys still to be visited in this discovery.
struct SearchBudget {
    int keysLeft = kDiscoveryKeyBudget;
};

// A subkey opened for reading, or an empty key when it cannot be opened or
// the search has used up its budget. Links are never followed: two under one
// key that lead back to it would make a tree of 2^depth keys. A key opened
// with REG_OPTION_OPEN_LINK is the link itself, which has no subkeys and no
// marker value, so the search ends there without asking what it is.
afx::ScopedRegKey OpenSearchedKey(HKEY parent, const char* name, SearchBudget& budget) {
    if (budget.keysLeft <= 0) return afx::ScopedRegKey();
    --budget.keysLeft;
    return afx::OpenRegKey(parent, name, KEY_READ, REG_OPTION_OPEN_LINK);
}

// What reading the subkey name at an index gave.
enum class SubKey {
    Named,
    Skipped,  // a name too long to read: its key is passed over
    End,      // no more subkeys, or none that can be read
};

// The subkey name at an index; past the last subkey, or when the key cannot
// be read, End.
SubKey ReadSubKeyName(HKEY key, DWORD index, CString* name) {
    char buffer[kNameBufferSize];
    DWORD length = sizeof(buffer);
    switch (RegEnumKeyExA(key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr)) {
        case ERROR_SUCCESS:
            *name = CString(buffer, static_cast<int>(strnlen(buffer, length)));
            return SubKey::Named;
        case ERROR_MORE_DATA:
            return SubKey::Skipped;
        default:
            return SubKey::End;
    }
}

// The marker's data as text up to its first NUL or the end of the data,
// whatever its type; the data need not carry a terminator of its own.
bool ReadMarkerFolder(HKEY key, const char* valueName, CString* folder) {
    BYTE data[kValueBufferSize];
    DWORD size = sizeof(data);
    if (RegQueryValueExA(key, valueName, nullptr, nullptr, data, &size) != ERROR_SUCCESS) {
        return false;
    }
    const char* text = reinterpret_cast<const char*>(data);
    *folder = CString(text, static_cast<int>(strnlen(text, size)));
    return true;
}

// What the search needs to know of a key before reading it: how many subkeys
// to read (all there are, read until End, when the key cannot be asked), and
// whether it may hold the marker value at all.
struct KeyOutline {
    DWORD subKeys = MAXDWORD;
    bool mayHoldMarker = true;
};

// One call tells both. A value name matches the marker's regardless of case
// but never at another length, in the UTF-16 units the registry counts: a key
// whose longest value name is shorter, or which has no values, cannot hold the
// marker, and its value query is spared.
KeyOutline OutlineOf(HKEY key, const char* markerValueName) {
    DWORD subKeys = 0;
    DWORD values = 0;
    DWORD longestValueName = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                         &longestValueName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return KeyOutline();
    }
    if (values == 0) return {subKeys, false};
    // The marker's name as the ANSI registry functions convert it.
    const size_t markerLength = afx::ToWide(markerValueName, CP_ACP).size();
    return {subKeys, longestValueName >= markerLength};
}

// The first release, in release order, whose code the key's name contains.
// Matches start at character boundaries only: the trail byte of a
// double-byte character followed by digits is not a code.
bool ReleaseOfKeyName(const char* keyName, HostRelease* release) {
    for (HostRelease candidate : kHostReleases) {
        if (afx::MbsContains(keyName, HostReleaseCode(candidate))) {
            *release = candidate;
            return true;
        }
    }
    return false;
}

// The keys below one release key that hold the marker value, and the
// folders they name, in search order.
struct MarkedKeys {
    CStringArray keys;
    CStringArray folders;
};

// Below the release key: every key holding the marker value, depth first.
void FindMarkedKeys(MarkedKeys& found, SearchBudget& budget, HKEY parentKey, CString subKeyName,
                    CString relativePath, CString baseKeyPath, int depth) {
    if (depth > kMaxKeyDepth) return;
    // An empty name opens the parent itself a second time.
    const afx::ScopedRegKey key = OpenSearchedKey(parentKey, subKeyName, budget);
    if (!key) return;

    const KeyOutline outline = OutlineOf(key.Get(), kMarkerValueName);
    CString folder;
    if (outline.mayHoldMarker && ReadMarkerFolder(key.Get(), kMarkerValueName, &folder)) {
        // A marked key describes one installation; nothing below it is searched.
        found.keys.Add(baseKeyPath + relativePath);
        found.folders.Add(folder);
        return;
    }

    CString name;
    for (DWORD index = 0; index < outline.subKeys; ++index) {
        const SubKey read = ReadSubKeyName(key.Get(), index, &name);
        if (read == SubKey::End) break;
        if (read == SubKey::Skipped) continue;
        FindMarkedKeys(found, budget, key.Get(), name, relativePath + name + "\\", baseKeyPath,
                       depth + 1);
    }
}

// What a scan needs besides the record: its key budget, the machine's
// system folders and where refusals go.
struct Scan {
    SearchBudget budget;
    // Found when the first host folder is checked: asking the shell for
    // them loads it, which a start without hosts need not wait for.
    std::optional<SystemFolders> system;
    std::vector<RefusedHostFolder>* refused;

    const SystemFolders& System() {
        if (!system) system = SystemFoldersOfThisMachine();
        return *system;
    }
};

void ScanProductKeyUnderRoot(FoundHosts& registry, Scan& scan, HKEY root,
                             const char* productKeyPath) {
    SearchBudget& budget = scan.budget;
    // A user may make any level of the path under HKEY_CURRENT_USER a link.
    afx::ScopedRegKey productKey;
    const LONG opened = OpenKeyNotThroughLinks(root, productKeyPath, KEY_READ, &productKey);
    if (opened != ERROR_SUCCESS) return;

    CString releaseKeyName;
    for (DWORD index = 0;; ++index) {
        const SubKey read = ReadSubKeyName(productKey.Get(), index, &releaseKeyName);
        if (read == SubKey::End) break;
        if (read == SubKey::Skipped) continue;
        CString baseKeyPath;
        baseKeyPath.Format("%s\\%s\\", productKeyPath, releaseKeyName.GetString());
        const afx::ScopedRegKey releaseKey =
            OpenSearchedKey(productKey.Get(), releaseKeyName, budget);
        if (!releaseKey) continue;

        MarkedKeys found;
        FindMarkedKeys(found, budget, releaseKey.Get(), CString(), CString(), baseKeyPath, 0);

        HostRelease release;
        if (!ReleaseOfKeyName(releaseKeyName, &release)) continue;
        const int releaseIndex = HostReleaseIndex(release);
        for (int i = 0; i < found.keys.GetSize(); ++i) {
            CString folder = found.folders[i];
            StripTrailingBackslash(folder);
            // An empty, relative or drive-relative folder would send the
            // host's files into whatever folder the elevated setup runs in.
            if (!IsAbsolutePath(folder)) continue;
            if (const char* reason =
                    SystemFolderRefusal(folder, scan.System(), FileSystemPlaceKeys())) {
                if (scan.refused) scan.refused->push_back({folder, reason});
                continue;
            }
            registry.hostKeys[releaseIndex].Add(found.keys[i]);
            registry.hostFolders[releaseIndex].Add(folder);
        }
    }
}

void ScanProductKey(FoundHosts& registry, Scan& scan, const char* productKeyPath) {
    // The current user's installations come first and win over the machine's.
    ScanProductKeyUnderRoot(registry, scan, HKEY_CURRENT_USER, productKeyPath);
    ScanProductKeyUnderRoot(registry, scan, HKEY_LOCAL_MACHINE, productKeyPath);
}

void Discover(FoundHosts& registry, Scan& scan) {
    for (const char* productKeyPath : HostProductKeys::kPaths) {
        ScanProductKey(registry, scan, productKeyPath);
    }
    for (int index = 0; index < kHostReleaseCount; ++index) {
        RemoveDuplicateInstallations(registry.hostKeys[index], registry.hostFolders[index],
                                     &FileSystemPlaceKeys());
    }
}

}  // namespace

FoundHosts DiscoverHostInstallations(std::vector<RefusedHostFolder>* refused) {
    FoundHosts found;
    Scan scan{SearchBudget(), std::nullopt, refused};
    Discover(found, scan);
    return found;
}

void DiscoverHostInstallationsInto(FoundHosts& registry, const SystemFolders& system,
                                   int keyBudget) {
    Scan scan{SearchBudget{keyBudget}, system, nullptr};
    Discover(registry, scan);
}
