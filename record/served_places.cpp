#include "record/served_places.h"

#include "framework/afx_mbcs.h"
#include "hosts/host_contract.h"
#include "record/install_record.h"
#include "text/path_text.h"

ServedPlaces::ServedPlaces(const CString& installFolder) : m_givenInstallFolder(installFolder) {
    if (!CanonicalPath(installFolder, &m_installFolder)) return;
    Add(installFolder, Place::InstallFolder);
    Add(JoinPath(installFolder, kKeptFilesFolder), Place::KeptFiles, installFolder);
    // The settings copy and the kept package are the installation folder's
    // own, like its files.
    Add(JoinPath(installFolder, kSettingsCopyFolder), Place::InstallFolder, installFolder);
    Add(JoinPath(installFolder, kPackageDataFolder), Place::InstallFolder, installFolder);
}

void ServedPlaces::Add(const CString& folder, Place place, const CString& linkFreeFrom) {
    CString canonical;
    if (CanonicalPath(folder, &canonical)) {
        m_folders.push_back({canonical, linkFreeFrom.IsEmpty() ? folder : linkFreeFrom, place});
    }
}

void ServedPlaces::AddHost(const CString& hostFolder, const CString& hostKey) {
    if (!IsValid()) return;
    Add(hostFolder, Place::HostFolder);
    // A linked host folder leads its fonts folder elsewhere too.
    Add(JoinPath(hostFolder, kHostFontsFolder), Place::HostFonts, hostFolder);
    m_applicationsKeys.push_back(hostKey + kApplicationsKey);
}

bool ServedPlaces::IsApplicationsKey(const char* key) const {
    const CString parent = ParentFolder(key);
    const CString name = FileNameOf(key);
    for (const CString& applications : m_applicationsKeys) {
        if (afx::MbsICmp(key, applications) == 0) return true;
        if (!name.IsEmpty() && afx::MbsICmp(parent, applications) == 0) return true;
    }
    return false;
}

void ServedPlaces::AddSettingsFolder(const CString& settingsFolder) {
    if (IsValid()) Add(settingsFolder, Place::Settings);
}

void ServedPlaces::AddEarlierInstallFolder(const CString& earlierFolder) {
    CString canonical;
    if (!IsValid() || !CanonicalPath(earlierFolder, &canonical)) return;
    m_earlierFolder = canonical;
    for (const char* sub : {"", kKeptFilesFolder, kSettingsCopyFolder, kPackageDataFolder}) {
        Add(*sub ? JoinPath(earlierFolder, sub) : earlierFolder, Place::EarlierInstallation,
            earlierFolder);
    }
}

bool ServedPlaces::IsInstallFolder(const char* folder) const {
    CString canonical;
    return IsValid() && CanonicalPath(folder, &canonical) && canonical == m_installFolder;
}

ServedPlaces::Place ServedPlaces::PlaceOf(const char* path, CString* servedFolder) const {
    CString canonical;
    if (!CanonicalPath(path, &canonical)) return Place::None;
    for (const Folder& f : m_folders) {
        if (IsDirectlyInFolder(canonical, f.canonical)) {
            if (servedFolder) *servedFolder = f.linkFree;
            return f.place;
        }
    }
    return Place::None;
}

bool ServedPlaces::MayHaveCreated(const char* folder) const {
    CString canonical;
    if (!IsValid() || !CanonicalPath(folder, &canonical)) return false;
    // The folder the user chose and the folders above it made for it, of
    // this installation folder and of an earlier one.
    if (IsWithinFolder(m_installFolder, canonical)) return true;
    if (!m_earlierFolder.IsEmpty() && IsWithinFolder(m_earlierFolder, canonical)) return true;
    for (const Folder& f : m_folders) {
        const bool own = f.place == Place::InstallFolder || f.place == Place::KeptFiles ||
                         f.place == Place::Settings || f.place == Place::EarlierInstallation;
        if (own && f.canonical == canonical) return true;
    }
    return false;
}
