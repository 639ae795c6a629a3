// The places an installation may change, and so the only places an
// uninstall or the recovery of an interrupted installation may touch: the
// installation folder (and the host files, the settings copy and the
// package kept in it), the folders of the host installations that discovery finds on this
// machine now (and their fonts folders), and the running user's settings
// folder. A path read from a record or a journal is input: it counts only
// when the place it names lies directly in one of these (whichever of its
// names it uses: the places and the path are compared by their keys,
// text/place_keys.h), and it is acted on in the served place's own name,
// never through a link.
#pragma once

#include <vector>

#include "framework/afx_string.h"
#include "system/file_identity.h"
#include "text/place_keys.h"

class FoundHosts;
struct InstallRecord;

class ServedPlaces {
public:
    enum class Place {
        None,
        InstallFolder,
        KeptFiles,
        HostFolder,
        HostFonts,
        Settings,
        EarlierInstallation,  // an earlier installation folder this one moved away from
    };

    // An installation folder that is not absolute serves nothing. `keys`
    // tell which place a path names: the file system's (Win32 only), or a
    // table in tests.
    explicit ServedPlaces(const CString& installFolder,
                          const PlaceKeys& keys = FileSystemPlaceKeys());

    // A host installation served: its folder, and its key below
    // HKEY_CURRENT_USER (ending with a backslash).
    void AddHost(const CString& hostFolder, const CString& hostKey);
    void AddSettingsFolder(const CString& settingsFolder);
    // The folder of the installation this one moved here from, with its
    // kept files, settings copy and package, which the move clears (and the folders
    // it may have created, its chosen folder too).
    void AddEarlierInstallFolder(const CString& earlierFolder);

    bool IsValid() const { return !m_installFolder.IsEmpty(); }
    // As given, for messages and to act on; its key for comparisons.
    const CString& InstallFolder() const { return m_givenInstallFolder; }
    bool IsInstallFolder(const char* folder) const;
    const PlaceKeys& Keys() const { return *m_keys; }

    // Where a file lies: its place; the file in the place's own name (the
    // folder as added, normalized, and the file's name), to act on; and the
    // served folder from which no step to it may pass through a link (as
    // given when added): the host folder for a host's fonts folder, the
    // installation folder for the kept files and the settings copy, else the
    // folder it lies directly in.
    struct Location {
        Place place = Place::None;
        CString path;
        CString linkFree;
    };
    Location Locate(const char* path) const;
    Place PlaceOf(const char* path) const { return Locate(path).place; }

    // A host's "Applications" key, or a key directly in it.
    bool IsApplicationsKey(const char* key) const;

    // A folder the installation may have created: the installation folder,
    // the folder the user chose (its parent) and the folders above that, the
    // kept files' folder or a settings folder added; the same of an earlier
    // installation folder.
    bool MayHaveCreated(const char* folder) const;

private:
    struct Folder {
        CString key;
        CString normal;    // as given, in its normal form
        CString linkFree;  // given: the folder from which no step is a link
        Place place;
    };
    void Add(const CString& folder, Place place, const CString& linkFreeFrom = CString());

    const PlaceKeys* m_keys;
    CString m_givenInstallFolder;
    CString m_installFolder;  // its key
    CString m_earlierFolder;  // its key; empty when there is none
    std::vector<Folder> m_folders;
    std::vector<CString> m_applicationsKeys;
};

// True when `path`, or any folder from `servedFolder` down to it (the
// served folder itself included), is a link, junction or mount point:
// nothing may pass through one. Both in the served folder's own name.
bool PassesThroughLink(const CString& servedFolder, const CString& path);

// Whether a file a record or a journal names may be acted on: it lies
// directly in a served place (the user's settings folder only where the
// settings are `Included`: what a run wrote there itself, never a file an
// uninstall removes), and no step from that place down to it is a link.
enum class SettingsFolder { Excluded, Included };
enum class FileReach { Reached, Outside, ThroughLink };
// `normal` is the file in its served place's own name, to act on, when it is
// Reached.
FileReach ReachServedFile(const ServedPlaces& places, const CString& path, SettingsFolder settings,
                          CString* normal);

// The places of an installation an uninstall or a recovery may touch: its
// folder, the host folders and profile keys that discovery finds now
// (`hosts`) for the releases the record names (no record, as for the
// recovery of an interrupted installation: every release), and the running
// user's settings folder; never what the record itself says they are.
ServedPlaces FindServedPlaces(const CString& installFolder, const InstallRecord* record,
                              const FoundHosts& hosts);
